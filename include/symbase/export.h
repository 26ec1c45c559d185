#ifndef SYMBASE_EXPORT_H
#define SYMBASE_EXPORT_H

// Marks what libsymbase.so shows to its hosts. Everything else is built with
// hidden visibility and stays inside the library.
#define SYMBASE_API __attribute__((visibility("default")))

#endif
