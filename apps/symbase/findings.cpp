#include "findings.h"

#include <algorithm>

#include "json.h"
#include "text.h"

namespace cli {

namespace {

// The texts name files with the directory given to the library: a person
// knows which base it is, so they are cut to the file's name.
std::string WithoutDirectory(std::string text, const std::string& directory) {
  if (directory == "/") return text;
  for (std::size_t at = text.find(directory); at != std::string::npos;
       at = text.find(directory, at)) {
    text.erase(at, directory.size());
  }
  return text;
}

using LibraryCall = int (*)(CTBData*, const char*, CObList*);

// Runs `call` and moves the records it appended into `out`, freeing them.
int Collect(LibraryCall call, CTBData* handle, const std::string& directory,
            std::vector<Finding>* out) {
  CObList list;
  int result = call(handle, directory.c_str(), &list);
  while (!list.IsEmpty()) {
    const auto* record = static_cast<const CTBCheckFinding*>(list.RemoveHead());
    out->push_back(
        {record->m_kind, Cp1252ToUtf8(static_cast<const char*>(record->m_file)),
         Cp1252ToUtf8(WithoutDirectory(static_cast<const char*>(record->m_text), directory))});
    delete record;
  }
  return result;
}

}  // namespace

int CheckFiles(CTBData* handle, const std::string& directory, std::vector<Finding>* findings) {
  return Collect(TBCheckBaseSymbol, handle, directory, findings);
}

int RepairFiles(CTBData* handle, const std::string& directory, std::vector<Finding>* actions) {
  return Collect(TBRepairBaseSymbol, handle, directory, actions);
}

OpeningFaults FindOpeningFaults(CTBData* handle, const std::string& directory) {
  std::vector<Finding> findings;
  CheckFiles(handle, directory, &findings);
  OpeningFaults faults;
  std::vector<std::string> tables;
  for (const Finding& finding : findings) {
    const bool index = finding.kind == CTBCheckFinding::kIndex;
    if (!index && finding.kind != CTBCheckFinding::kRows) continue;
    std::vector<std::string>& named = index ? faults.index_files : tables;
    if (std::find(named.begin(), named.end(), finding.file) != named.end()) continue;
    named.push_back(finding.file);
    if (!index) faults.tables.push_back(finding);
  }
  return faults;
}

const char* KindName(int kind) {
  switch (kind) {
    case CTBCheckFinding::kIndex:
      return "index";
    case CTBCheckFinding::kHeader:
      return "header";
    case CTBCheckFinding::kRepaired:
      return "repaired";
    default:
      return "rows";
  }
}

std::size_t Repairable(const std::vector<Finding>& findings) {
  return static_cast<std::size_t>(
      std::count_if(findings.begin(), findings.end(), [](const Finding& finding) {
        return finding.kind == CTBCheckFinding::kIndex || finding.kind == CTBCheckFinding::kHeader;
      }));
}

std::string FindingLine(const Finding& finding) {
  return finding.file + ": " + KindName(finding.kind) + ": " + finding.text;
}

std::vector<std::string> FindingLines(const std::vector<Finding>& findings, bool all) {
  constexpr std::size_t kShownOfAKind = 20;
  struct Group {
    const Finding* first;
    std::size_t count;
  };
  std::vector<Group> groups;
  std::vector<std::string> lines;
  for (const Finding& finding : findings) {
    auto group = std::find_if(groups.begin(), groups.end(), [&](const Group& g) {
      return g.first->kind == finding.kind && g.first->file == finding.file;
    });
    if (group == groups.end()) group = groups.insert(groups.end(), Group{&finding, 0});
    if (all || ++group->count <= kShownOfAKind) lines.push_back(FindingLine(finding));
  }
  for (const Group& group : groups) {
    if (group.count <= kShownOfAKind) continue;
    const std::size_t more = group.count - kShownOfAKind;
    lines.push_back(group.first->file + ": " + KindName(group.first->kind) + ": " +
                    std::to_string(more) + " more like these not shown (--all shows every one)");
  }
  return lines;
}

std::string FindingsJson(const std::vector<Finding>& findings) {
  std::vector<std::string> values;
  for (const Finding& finding : findings) {
    values.push_back(JsonObject({{"file", JsonString(finding.file)},
                                 {"kind", JsonString(KindName(finding.kind))},
                                 {"text", JsonString(finding.text)}}));
  }
  return JsonArray(values);
}

}  // namespace cli
