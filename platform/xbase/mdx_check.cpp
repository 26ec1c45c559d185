// The structural check of one tag: an in-order walk of its tree that visits
// each block at most once (so cycles and shared blocks end the walk instead
// of repeating it), then the free-block chain.

#include <string>

#include "xbase/mdx_impl.h"

namespace xbase {

using namespace mdx;

namespace {

constexpr int kMaxReports = 50;

class Reporter {
 public:
  explicit Reporter(const std::function<void(const std::string&)>& sink) : sink_(sink) {}
  void operator()(const std::string& what, std::uint32_t page) {
    ++faults_;
    if (!sink_ || faults_ > kMaxReports) return;
    sink_(faults_ == kMaxReports ? "further faults not listed"
                                 : what + " (page " + std::to_string(page) + ")");
  }
  int faults() const { return faults_; }

 private:
  const std::function<void(const std::string&)>& sink_;
  int faults_ = 0;
};

struct Frame {
  std::uint32_t page;
  std::uint32_t next_child;
  int bound;  // depth whose separator bounds this node, -1: none
};

}  // namespace

int MdxFile::Impl::Check(int t, const std::function<void(const std::string&)>& problem) {
  Reporter report(problem);
  const MdxTagState& s = tag(t);
  const std::uint32_t kl = s.key_length;
  std::vector<bool> seen(page_count / kPagesPerBlock + 1);
  for (const MdxTagState& other : tags) seen[other.header_page / kPagesPerBlock] = true;

  int height = 0;
  if (Height(t, &height) != kOk) {
    report("the tree's leftmost edge is broken", s.root);
    return kErrIndexFormat;
  }
  std::vector<std::uint8_t> bounds(static_cast<std::size_t>(height + 1) * kl);
  std::vector<std::uint8_t> prev(kl);
  bool have_prev = false;
  std::uint32_t prev_record = 0, first_leaf = 0, last_leaf = 0;
  std::vector<Frame> stack;
  // Visits a node: checks it and, for an interior node, stacks it for its children.
  auto enter = [&](std::uint32_t page, int bound) {
    const int depth = static_cast<int>(stack.size());
    Node node;
    if (!PageInFile(page)) return report("pointer outside the file", page);
    if (seen[page / kPagesPerBlock]) return report("block met twice", page);
    seen[page / kPagesPerBlock] = true;
    int rc = NodeAt(t, page, false, &node);
    if (rc != kOk) return report("entry count beyond the node's capacity or unreadable", page);
    const bool leaf = node.right() == 0;
    if (leaf != (depth == height)) return report("leaves at different depths", page);
    const std::uint8_t* limit = bound >= 0 ? bounds.data() + std::size_t(bound) * kl : nullptr;
    if (!leaf) {
      for (std::uint32_t i = 0; i < node.count(); ++i) {
        if (limit && CompareKeys(t, node.key(i), limit, kl) > 0) {
          report("separator above the one over it", page);
        }
      }
      stack.push_back(Frame{page, 0, bound});
      return;
    }
    if (first_leaf == 0) first_leaf = page;
    last_leaf = page;
    for (std::uint32_t i = 0; i < node.count(); ++i) {
      const std::uint8_t* key = node.key(i);
      if (node.pointer(i) == 0) report("record number 0", page);
      if (limit && CompareKeys(t, key, limit, kl) > 0) report("key above its separator", page);
      if (have_prev) {
        int cmp = CompareKeys(t, prev.data(), key, kl);
        if (cmp > 0 || (cmp == 0 && prev_record >= node.pointer(i))) {
          report("entries out of order", page);
        }
      }
      std::memcpy(prev.data(), key, kl);
      prev_record = node.pointer(i);
      have_prev = true;
    }
  };
  enter(s.root, -1);
  while (!stack.empty()) {
    Frame& f = stack.back();
    Node node;
    if (NodeAt(t, f.page, false, &node) != kOk || f.next_child > node.count()) {
      stack.pop_back();
      continue;
    }
    const std::uint32_t c = f.next_child++;
    const int depth = static_cast<int>(stack.size()) - 1;
    int bound = f.bound;
    if (c < node.count()) {
      std::memcpy(bounds.data() + std::size_t(depth) * kl, node.key(c), kl);
      bound = depth;
    }
    enter(node.child(c), bound);
  }
  if (report.faults() == 0) {
    std::uint8_t* th = nullptr;
    if (cache.Get(s.header_page, &th) != kOk) {
      report("tag header unreadable", s.header_page);
    } else if (Get32(th + kTagFirstLeaf) != first_leaf || Get32(th + kTagLastLeaf) != last_leaf) {
      report("first or last leaf in the tag header is wrong", s.header_page);
    }
  }

  std::uint32_t chained = 0;
  for (std::uint32_t page = first_free; page != 0; ++chained) {
    if (!PageInFile(page)) {
      report("free list points outside the file", page);
      break;
    }
    if (seen[page / kPagesPerBlock]) {
      report("free list meets a block in use or loops", page);
      break;
    }
    seen[page / kPagesPerBlock] = true;
    std::uint8_t* block = nullptr;
    if (cache.Get(page, &block) != kOk) {
      report("free block unreadable", page);
      break;
    }
    if (Get32(block + kNodeCount) != 0) report("free block holds entries", page);
    page = Get32(block + 4);
  }
  if (chained != free_count) report("free block count differs from the chain", 0);
  return report.faults() == 0 ? kOk : kErrIndexFormat;
}

}  // namespace xbase
