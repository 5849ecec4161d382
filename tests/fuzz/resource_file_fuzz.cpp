// Feeds arbitrary bytes to the .res reader and, when they read as a resource
// file, walks every entry: looks it up again by type, ID and language, reads
// strings, and hands each entry's data to every other resource reader, so
// that dialogs, icons and version blocks nested in a file get fuzzed too.
// Built with clang's libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>

#include "ui/framework/dialog_template.h"
#include "ui/framework/icon_group.h"
#include "ui/framework/icon_image.h"
#include "ui/framework/resource_file.h"
#include "ui/framework/version_info.h"

namespace {

using framework::OrdinalOf;
using framework::ResourceEntry;
using framework::ResourceFile;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "resource file invariant broken: %s\n", what);
  std::abort();
}

bool Within(std::span<const std::byte> part, std::span<const std::byte> whole) {
  // An empty span may point anywhere, even nowhere.
  return part.empty() ||
         (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

// Languages to look entries up in besides their own: the neutral one and one
// that no real file has.
constexpr std::uint16_t kOtherLanguages[] = {0x0000, 0x7FFF};

void CheckLookups(const ResourceFile& file, const ResourceEntry& entry) {
  const std::optional<std::uint16_t> type = OrdinalOf(entry.type);
  const std::optional<std::uint16_t> id = OrdinalOf(entry.name);
  if (!type || !id) {
    return;
  }
  const ResourceEntry* exact = file.FindExact(*type, *id, entry.language);
  if (exact == nullptr || exact->language != entry.language || OrdinalOf(exact->type) != type ||
      OrdinalOf(exact->name) != id || exact > &entry) {
    Fail("FindExact misses an entry or returns another one");
  }
  if (file.Find(*type, *id, entry.language) != exact) {
    Fail("Find in an entry's own language differs from FindExact");
  }
  for (std::uint16_t language : kOtherLanguages) {
    const ResourceEntry* found = file.Find(*type, *id, language);
    if (found == nullptr || OrdinalOf(found->type) != type || OrdinalOf(found->name) != id) {
      Fail("Find misses an entry in another language");
    }
  }
}

// Each string of a string block must come back from FindString in the
// block's own language, unless an earlier block of the same ID and language
// hides this one.
void CheckStrings(const ResourceFile& file, const ResourceEntry& entry) {
  const std::optional<std::uint16_t> block_id = OrdinalOf(entry.name);
  if (OrdinalOf(entry.type) != framework::kResourceTypeString || !block_id || *block_id == 0 ||
      *block_id > 0x1000 ||
      file.FindExact(framework::kResourceTypeString, *block_id, entry.language) != &entry) {
    return;
  }
  for (unsigned index = 0; index < 16; ++index) {
    const auto string_id = static_cast<std::uint16_t>((*block_id - 1) * 16 + index);
    framework::Parsed<std::u16string> expected = framework::ReadStringTableEntry(entry.data, index);
    if (file.FindString(string_id, entry.language) != (expected ? *expected : std::u16string())) {
      Fail("FindString differs from reading the string block");
    }
  }
}

// Runs every reader over `data`, whatever the entry's type says it is.
void ReadNested(const ResourceFile& file, std::span<const std::byte> data, std::uint16_t language) {
  (void)framework::DialogTemplate::Parse(data);
  (void)framework::DecodeIconImage(data);
  (void)framework::VersionInfo::Parse(data);
  const framework::Parsed<framework::IconGroup> group = framework::IconGroup::Parse(data);
  if (!group) {
    return;
  }
  // A group names its images by ID; load through the group as the program
  // does, which reaches the image resources of the same file.
  for (const framework::IconGroupEntry& image : group->entries) {
    const framework::ResourceEntry* resource =
        file.Find(framework::kResourceTypeIcon, image.id, language);
    if (resource != nullptr) {
      (void)framework::DecodeIconImage(resource->data);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
  const framework::Parsed<ResourceFile> file = ResourceFile::Parse(bytes);
  if (!file) {
    return 0;
  }
  for (const ResourceEntry& entry : file->entries()) {
    if (!Within(entry.data, bytes)) {
      Fail("an entry's data lies outside the file");
    }
    CheckLookups(*file, entry);
    CheckStrings(*file, entry);
    ReadNested(*file, entry.data, entry.language);
    if (OrdinalOf(entry.type) == framework::kResourceTypeGroupIcon) {
      if (const std::optional<std::uint16_t> id = OrdinalOf(entry.name)) {
        for (int wanted_size : {16, 32, 256}) {
          (void)framework::LoadIconImage(*file, *id, entry.language, wanted_size);
        }
      }
    }
  }
  // Strings at both ends of a block and at both ends of the ID range, in a
  // language the file may have and one it may not.
  for (std::uint16_t string_id : {0, 15, 101, 0xFFEF, 0xFFFF}) {
    for (std::uint16_t language : {0x0804, 0x7FFF}) {
      (void)file->FindString(string_id, language);
    }
  }
  return 0;
}
