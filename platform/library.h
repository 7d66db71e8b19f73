// Loading libraries at run time, with the search rules the program relies on.
#pragma once

#include <QString>

namespace vardel::platform {

// A library loaded at run time (dlopen with every symbol bound at load). Loading a name
// without any folder separator ('/' or '\') looks in the installation folder first (never in
// the content folder), then in the system's library search path; a name with a folder is a
// path (see nativePath).
// A file whose ELF header, program headers or segments do not fit inside it (a library cut
// short) is refused before the loader maps any of it, as a load failure.
// The library stays loaded until free() or destruction; moves transfer ownership.
class Library {
 public:
  Library() = default;
  ~Library();
  Library(Library&& other) noexcept;
  Library& operator=(Library&& other) noexcept;
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  // Loads `name`; false (with errorString()) when it cannot be loaded. A library already
  // held is released first.
  bool load(const QString& name);
  bool isLoaded() const { return handle_ != nullptr; }
  // The address of an exported symbol, or null (with errorString()) when the library lacks it
  // or is not loaded.
  void* resolve(const char* symbol) const;
  // Releases the library; true when it was loaded.
  bool free();

  // Why the last load() or resolve() failed, in words for the person (load() clears it).
  QString errorString() const { return error_; }
  QString fileName() const { return fileName_; }

  template <typename Function>
  Function resolveAs(const char* symbol) const {
    return reinterpret_cast<Function>(resolve(symbol));
  }

 private:
  void* handle_ = nullptr;
  QString fileName_;
  mutable QString error_;  // a failed resolve() is a failure of a const look-up
};

}  // namespace vardel::platform
