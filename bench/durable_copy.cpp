// Puts a file's bytes in place as durably as a save does, for the bench to measure against: an
// unnamed file in the target's folder, the bytes, fsync, a name, rename over the target, fsync of
// the folder.
//   durable_copy SOURCE TARGET
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

bool WriteAll(int descriptor, const char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t wrote = ::write(descriptor, bytes, size);
    if (wrote < 0) return false;
    bytes += wrote;
    size -= static_cast<std::size_t>(wrote);
  }
  return true;
}

int Fail(const char* what) {
  std::perror(what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: durable_copy SOURCE TARGET\n");
    return 2;
  }
  const std::string target = argv[2];
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  const int source = ::open(argv[1], O_RDONLY | O_CLOEXEC);
  if (source < 0) return Fail(argv[1]);
  const int file = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
  if (file < 0) return Fail(folder.c_str());
  std::vector<char> block(256 * 1024);
  for (ssize_t got; (got = ::read(source, block.data(), block.size())) != 0;) {
    if (got < 0 || !WriteAll(file, block.data(), static_cast<std::size_t>(got))) {
      return Fail(argv[1]);
    }
  }
  if (::fsync(file) != 0) return Fail("fsync");
  const std::string named = folder + ".durable_copy." + std::to_string(::getpid());
  const std::string link = "/proc/self/fd/" + std::to_string(file);
  if (::linkat(AT_FDCWD, link.c_str(), AT_FDCWD, named.c_str(), AT_SYMLINK_FOLLOW) != 0) {
    return Fail("linkat");
  }
  if (::rename(named.c_str(), target.c_str()) != 0) return Fail("rename");
  const int directory = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directory < 0 || ::fsync(directory) != 0) return Fail("fsync of the folder");
  ::close(directory);
  ::close(file);
  ::close(source);
  return 0;
}
