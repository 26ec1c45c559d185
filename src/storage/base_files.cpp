#include "storage/base_files.h"

#include <cstring>

namespace symbase {
namespace {

constexpr const char* kLiveRows = ".NOT. DELETED()";
constexpr const char* kKeyExpression = "OBJET+IND1+IND2+IND3+IND4";

}  // namespace

const char* const kBaseFiles[6] = {kMainTableFile,   kCommentTableFile, kRepCleIndexFile,
                                   kRepereIndexFile, kSymboleIndexFile, kRepCmtIndexFile};

const xbase::FieldDefinition kMainFields[] = {
    {"OBJET", 'C', kObjetWidth, 0},
    {"IND1", 'C', kIndWidth, 0},
    {"IND2", 'C', kIndWidth, 0},
    {"IND3", 'C', kIndWidth, 0},
    {"IND4", 'C', kInd4Width, 0},
    {"REPERE", 'C', kRepereWidth, 0},
    {"SYMBOLE", 'C', kSymboleWidth, 0},
    {"ISCMT", 'C', kIsCmtWidth, 0},
    {nullptr, 0, 0, 0},
};

const xbase::FieldDefinition kCommentFields[] = {
    {"OBJET", 'C', kObjetWidth, 0}, {"IND1", 'C', kIndWidth, 0},  {"IND2", 'C', kIndWidth, 0},
    {"IND3", 'C', kIndWidth, 0},    {"IND4", 'C', kInd4Width, 0}, {"CMT1", 'C', kCmtWidth, 0},
    {"CMT2", 'C', kCmtWidth, 0},    {nullptr, 0, 0, 0},
};

const xbase::TagDefinition kRepCleTag[] = {{kRepCleTagName, kKeyExpression, kLiveRows, 0, 0},
                                           {nullptr, nullptr, nullptr, 0, 0}};
const xbase::TagDefinition kRepereTag[] = {{kRepereTagName, "REPERE", kLiveRows, 0, 0},
                                           {nullptr, nullptr, nullptr, 0, 0}};
const xbase::TagDefinition kSymboleTag[] = {{kSymboleTagName, "SYMBOLE", kLiveRows, 0, 0},
                                            {nullptr, nullptr, nullptr, 0, 0}};
const xbase::TagDefinition kRepCmtTag[] = {{kRepCmtTagName, kKeyExpression, kLiveRows, 0, 0},
                                           {nullptr, nullptr, nullptr, 0, 0}};

const IndexFileDefinition kIndexFiles[4] = {
    {false, kRepCleIndexFile, kRepCleTag},
    {false, kRepereIndexFile, kRepereTag},
    {false, kSymboleIndexFile, kSymboleTag},
    {true, kRepCmtIndexFile, kRepCmtTag},
};

bool ComposePath(char* buffer, const char* directory, const char* name) {
  const std::size_t directory_length = std::strlen(directory);
  const std::size_t name_length = std::strlen(name);
  if (directory_length > kMaxDirectoryLength ||
      directory_length + name_length + 1 > kPathBufferSize) {
    buffer[0] = '\0';
    return false;
  }
  std::memcpy(buffer, directory, directory_length);
  std::memcpy(buffer + directory_length, name, name_length + 1);
  return true;
}

}  // namespace symbase
