#pragma once
// A command-line program's arguments and standard streams, the same on every system:
// arguments as UTF-8 text, streams as bytes.

#include <string>
#include <vector>

namespace ceph::base {

// The arguments main was given, as UTF-8. Windows hands main its arguments in the
// ANSI code page, which cannot hold most names of a Taiwanese practice's folders
// ("?" takes their place); there they are read again from the wide command line.
// Elsewhere they are main's own, which are UTF-8 already.
class ProgramArguments {
  public:
    ProgramArguments(int argc, char** argv);
    ProgramArguments(const ProgramArguments&) = delete;
    ProgramArguments& operator=(const ProgramArguments&) = delete;

    int Count() const { return static_cast<int>(text_.size()); }
    // Null-terminated like main's, valid as long as this object.
    char** Values() { return pointers_.data(); }

  private:
    std::vector<std::string> text_;
    std::vector<char*> pointers_;
};

// Standard input, output and error pass bytes through unchanged. Windows would
// otherwise write "\n" as "\r\n" (a CSV's "\r\n" as "\r\r\n") and stop reading input
// at the first Ctrl-Z byte.
void UseBinaryStandardStreams();

}  // namespace ceph::base
