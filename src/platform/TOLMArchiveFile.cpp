#include "platform/TOLMArchiveFile.h"

#include "archive/TOLMArchiver.h"
#include "archive/TOLMUnarchiver.h"
#include "platform/TOLMDurableFile.h"

TOLMStatus TOLMArchiveFile::archiveRootObject_toFile(const TOLMArchiveObject& root, const std::string& path) {
  TOLMArchiver archiver;
  archiver.encodeObject(root);
  // Never replace a good file with bytes that cannot be read back.
  if (archiver.failed()) return TOLMStatus::failure("cannot archive to " + path + ": " + archiver.error());
  return TOLMDurableFile::writeDurably(path, archiver.data());
}

TOLMResult<TOLMArchiveObject> TOLMArchiveFile::unarchiveObjectWithFile(const std::string& path) {
  using Result = TOLMResult<TOLMArchiveObject>;
  auto bytes = TOLMDurableFile::readFile(path);
  if (!bytes.ok()) return Result::failure(bytes.error());
  if (!bytes.value().has_value()) return Result::success(TOLMArchiveObject());
  auto decoded = TOLMUnarchiver::unarchiveObjectWithData(*bytes.value());
  if (!decoded.ok()) return Result::failure("cannot read " + path + ": " + decoded.error());
  return decoded;
}
