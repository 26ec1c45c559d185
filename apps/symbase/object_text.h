#ifndef SYMBASE_APPS_OBJECT_TEXT_H
#define SYMBASE_APPS_OBJECT_TEXT_H

#include <string>

namespace cli {

// One object's texts as the library stores them (Windows-1252).
struct ObjectText {
  std::string address;
  std::string symbol;
  std::string comment;
};

inline bool operator==(const ObjectText& a, const ObjectText& b) {
  return a.address == b.address && a.symbol == b.symbol && a.comment == b.comment;
}

}  // namespace cli

#endif
