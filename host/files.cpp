// Data paths, the file services of the host game object and the state file. The state file
// is replaced through a temporary file beside it, so a save that fails part-way (a full
// disk, a size limit, a crash) leaves the previous state as it was.
#include "host/game.h"

// POSIX file descriptors for the durable write: stdio cannot fsync or report which write
// fell short. <dirent.h> to find the temporaries of saves that were killed.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "runtime/gc.h"

// ---------------------------------------------------------------------------------------------
// Types

namespace {

struct NxDataScheme {
  const char16_t* dataPrefix;
  const char16_t* filePrefix;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Globals

namespace {

const char nx_data_statePath[] = "./.zarnikstate";
// What a save's temporary adds to the name of the file it replaces, before mkstemp's six
// random letters and digits. Distinct enough that no file of the player's matches it.
const char nx_data_temporaryInfix[] = ".saving-";
constexpr size_t nx_data_temporaryRandomLength = 6;

const NxDataScheme nx_data_schemes[] = {
    {u"zarnik://data/", u"./data/"},
    {u"zarnik://internal/", u"./internal/"},
    {u"zarnik://external/", u"./external/"},
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Internal functions

namespace {

bool nx_data_ReadFile(NxGame& game, const String& path, std::vector<unsigned char>& bytes) {
  FILE* file = game.OpenFile(path, String(u"rb"));
  if (file == nullptr) return false;
  bool complete = nx_string_ReadAll(file, bytes);
  std::fclose(file);
  return complete;
}

bool nx_data_ContainsNul(const String& text) {
  for (int i = 0; i < text.Length(); ++i) {
    if (text[i] == 0) return true;
  }
  return false;
}

bool nx_data_WriteAll(int fd, const std::vector<unsigned char>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (written == 0) return false;
    done += static_cast<size_t>(written);
  }
  return true;
}

// The replacement keeps the permissions of the file it replaces, or gets the ones a plain
// create would have given.
mode_t nx_data_ModeFor(const std::string& path) {
  struct stat existing {};
  if (::stat(path.c_str(), &existing) == 0) return existing.st_mode & 07777;
  mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

std::string nx_data_DirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

bool nx_data_IsTemporaryOf(const char* name, const std::string& prefix) {
  std::string candidate(name);
  if (candidate.size() != prefix.size() + nx_data_temporaryRandomLength) return false;
  if (candidate.compare(0, prefix.size(), prefix) != 0) return false;
  for (size_t i = prefix.size(); i < candidate.size(); ++i) {
    char letter = candidate[i];
    bool random = (letter >= '0' && letter <= '9') || (letter >= 'A' && letter <= 'Z') ||
                  (letter >= 'a' && letter <= 'z');
    if (!random) return false;
  }
  return true;
}

// A save killed between creating its temporary and the rename leaves the temporary behind,
// and its random name means nothing else would ever remove it. Failures only leave litter.
void nx_data_RemoveStaleTemporaries(const std::string& path) {
  size_t slash = path.rfind('/');
  std::string prefix =
      (slash == std::string::npos ? path : path.substr(slash + 1)) + nx_data_temporaryInfix;
  DIR* folder = ::opendir(nx_data_DirectoryOf(path).c_str());
  if (folder == nullptr) return;
  while (const dirent* entry = ::readdir(folder)) {
    if (nx_data_IsTemporaryOf(entry->d_name, prefix)) ::unlinkat(::dirfd(folder), entry->d_name, 0);
  }
  ::closedir(folder);
}

// Makes the rename itself durable; a failure here cannot lose the old or the new content,
// so it is not reported.
void nx_data_SyncDirectoryOf(const std::string& path) {
  std::string directory = nx_data_DirectoryOf(path);
  int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public functions

String nx_data_FixDataPath(String path) {
  int scheme = path.Find(String(u":/"));
  if (scheme != -1 && path.Find(String(u"/")) == scheme + 1) return path;
  if (path.StartsWith(String(u"./")) || path.StartsWith(String(u"/"))) return path;
  return String(u"zarnik://data/") + path;
}

String nx_data_PathToFilePath(String path) {
  if (!path.StartsWith(String(u"zarnik:"))) return path;
  for (const NxDataScheme& scheme : nx_data_schemes) {
    String prefix(scheme.dataPrefix);
    if (path.StartsWith(prefix)) return String(scheme.filePrefix) + path.Slice(prefix.Length());
  }
  return String();
}

int nx_data_SaveAtomically(const std::string& path, const std::vector<unsigned char>& bytes) {
  nx_data_RemoveStaleTemporaries(path);
  std::string pattern =
      path + nx_data_temporaryInfix + std::string(nx_data_temporaryRandomLength, 'X');
  std::vector<char> temporary(pattern.begin(), pattern.end());
  temporary.push_back('\0');
  mode_t mode = nx_data_ModeFor(path);
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) return -1;
  bool written = ::fchmod(fd, mode) == 0 && nx_data_WriteAll(fd, bytes) && ::fsync(fd) == 0;
  if (::close(fd) != 0) written = false;
  if (!written) {
    ::unlink(temporary.data());
    return -2;
  }
  if (::rename(temporary.data(), path.c_str()) != 0) {
    ::unlink(temporary.data());
    return -1;
  }
  nx_data_SyncDirectoryOf(path);
  return 0;
}

FILE* NxGame::OpenFile(String path, String mode) {
  String filePath = PathToFilePath(path);
  // A NUL inside a name would silently open a shorter name.
  if (filePath.Length() == 0 || nx_data_ContainsNul(filePath) || nx_data_ContainsNul(mode)) {
    return nullptr;
  }
  return std::fopen(filePath.ToUtf8().c_str(), mode.ToUtf8().c_str());
}

String NxGame::LoadString(String path) {
  std::vector<unsigned char> bytes;
  if (!nx_data_ReadFile(*this, path, bytes)) return String();
  return String::Load(bytes.data(), static_cast<int>(bytes.size()));
}

unsigned char* NxGame::LoadData(String path, int* length) {
  std::vector<unsigned char> bytes;
  if (!nx_data_ReadFile(*this, path, bytes)) return nullptr;
  // One byte at least, so an empty file still gives a block and not the failure value.
  auto* block = static_cast<unsigned char*>(std::malloc(bytes.empty() ? 1 : bytes.size()));
  if (block == nullptr) return nullptr;
  if (!bytes.empty()) std::memcpy(block, bytes.data(), bytes.size());
  *length = static_cast<int>(bytes.size());
  gc_force_sweep = true;
  return block;
}

String NxGame::LoadState() {
  return LoadString(String(nx_data_statePath));
}

int NxGame::SaveState(String state) {
  std::vector<unsigned char> bytes;
  state.Save(bytes);
  return nx_data_SaveAtomically(nx_data_statePath, bytes);
}
