#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "archive/TOLMArchiver.h"
#include "dates/TOLMDate.h"

// Writes small archives of every kind, shaped like the program's own files,
// to seed the fuzzer: archive_corpus_generator <folder>.
namespace {

using Object = TOLMArchiveObject;

Object date(std::int32_t y, std::int32_t mo, std::int32_t d, std::int32_t h, std::int32_t mi, std::int32_t s) {
  const std::int32_t fields[6] = {y, mo, d, h, mi, s};
  return Object::record(std::make_shared<TOLMDate>(TOLMDate::initWithIntArray(fields)));
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : ".";
  const Object entry = Object::dictionary({{"time", Object::string("7:00:00")},
                                           {"message", Object::string("Message")},
                                           {"showMessage", Object::boolean(true)},
                                           {"beep", Object::boolean(false)}});
  const struct {
    const char* name;
    Object root;
  } samples[] = {
      {"none", Object()},
      {"scalars", Object::list({Object(), Object::null(), Object::boolean(true), Object::integer(-1),
                                Object::floating(0.5), Object::string("")})},
      {"calendar", Object::dictionary({{"2005", Object::dictionary({{"7", Object::dictionary({{"4",
          Object::dictionary({{"times", Object::list({entry})}, {"misc", Object::string("notes")}})}})}})}})},
      {"date", date(2005, 7, 4, 9, 5, 0)},
      {"dates", Object::list({date(2005, 12, 31, 23, 59, 59), date(0, 0, 0, 0, 0, 0)})},
      {"rule", Object::list({Object::null(), Object::list({Object::integer(1), Object::integer(5)}),
                             Object::string("Birthday")})},
      {"colour", Object::color({0.0, 0.0, 1.0, 0.5})},
      {"image", Object::image({16.0, 16.0, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'}})},
  };
  for (const auto& sample : samples) {
    TOLMArchiver archiver;
    archiver.encodeObject(sample.root);
    const std::string path = folder + "/" + sample.name + ".vkar";
    if (archiver.failed() || !writeFile(path, archiver.data())) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
