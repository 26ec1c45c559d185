#ifndef SYMBASE_BENCH_API_DATASET_H
#define SYMBASE_BENCH_API_DATASET_H

// The objects of the interface benchmark: a project's worth of addresses of
// several kinds (words, their bits, constants, inputs and outputs), each
// with a symbol and, one in three, a comment; and the questions asked of
// them, with the answers computed here from the objects themselves.

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace api_bench {

struct Item {
  std::string address;  // "%MW12", "%MW12:X3", "%KW7", "%I3.14", "%Q3.14"
  std::string symbol;   // unique, upper case letters and digits: case never matters
  std::string comment;  // "" for two objects in three
  std::string key;      // the 22-character address key (OBJET IND1 IND2 IND3 IND4)
  bool word = false;    // a %MW word: the kind the listing of one kind lists
  bool mw = false;      // a %MW word or bit: what counting %MW counts
};

struct Dataset {
  std::vector<Item> items;  // in insertion order (shuffled)
  std::unordered_map<std::string, std::size_t> by_address;
  // Lookups: indexes of items, spread over the whole base.
  std::vector<std::size_t> probes;
  // Symbol prefixes and, for each, how many symbols begin with it.
  std::vector<std::string> prefixes;
  std::vector<long> prefix_matches;
  // Texts searched in comments and how many comments contain each (case
  // ignored).
  std::vector<std::string> comment_texts;
  std::vector<long> comment_matches;
  long words = 0;  // items with word
  long mws = 0;    // items with mw
  // Items deleted by the deletion phase: every tenth.
  bool Deleted(std::size_t i) const { return i % 10 == 3; }
};

// `count` objects, the same for the same count and seed.
Dataset MakeDataset(long count, unsigned seed);

}  // namespace api_bench

#endif
