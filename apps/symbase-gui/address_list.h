#ifndef SYMBASE_APPS_GUI_ADDRESS_LIST_H
#define SYMBASE_APPS_GUI_ADDRESS_LIST_H

// The addresses of a view, in order, packed end to end in one block: a few
// bytes a row, where a string per row would cost ten times that.

#include <QByteArray>
#include <cstdint>
#include <vector>

namespace gui {

class AddressList {
 public:
  int Size() const { return static_cast<int>(starts_.size()); }
  QByteArray At(int row) const;
  void Append(const QByteArray& address);
  // Takes a row out; the bytes stay until Clear.
  void Remove(int row);
  void Clear();
  // The first row holding `address`; -1 when none does.
  int Find(const QByteArray& address) const;

 private:
  std::vector<char> bytes_;
  std::vector<std::uint32_t> starts_;
  std::vector<std::uint8_t> lengths_;  // an address holds at most 36 bytes
};

}  // namespace gui

#endif
