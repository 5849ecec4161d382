// The reading primitives shared by the compiled-resource parsers: the reason a
// parse failed, a value-or-reason result, the "string or ordinal" field that
// resource headers and dialog templates both use, and a bounds-checked
// little-endian cursor over bytes that the caller keeps alive.
//
// Every structure in a compiled resource is little-endian whatever the host,
// may start at any address (the bytes are read one at a time, never through
// a cast pointer), and may be truncated or hostile: nothing here reads past
// the end of the span it was given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace framework {

// Why a block of resource bytes could not be read.
enum class ResourceError {
  kTruncated,           // the bytes end inside a field or a counted array
  kSizeOutOfRange,      // a length field claims more bytes than its container holds
  kMisaligned,          // a size that must be a multiple of 4 is not
  kUnterminatedString,  // a UTF-16 string runs to the end without its NUL
  kBadSignature,        // a magic number, version or type field has the wrong value
  kMalformed,           // sizes that contradict each other or the layout
};

// Returns a short English description of `error` for logs and test output,
// e.g. "truncated data" for kTruncated. Never empty.
std::string_view Describe(ResourceError error);

// The outcome of a parse: either a value of type T or the ResourceError that
// stopped it. Test with `ok()` (or in a boolean context) before using the
// value; `value()`, `*` and `->` on a failed result throw
// std::bad_variant_access.
template <typename T>
class Parsed {
 public:
  // Implicit, so that a parser can simply `return value;` or
  // `return ResourceError::kTruncated;`.
  Parsed(T value) : state_(std::move(value)) {}
  Parsed(ResourceError error) : state_(error) {}

  bool ok() const { return std::holds_alternative<T>(state_); }
  explicit operator bool() const { return ok(); }

  const T& value() const& { return std::get<T>(state_); }
  T&& value() && { return std::get<T>(std::move(state_)); }
  const T& operator*() const& { return value(); }
  const T* operator->() const { return &value(); }

  // Returns the reason for the failure; only meaningful when `ok()` is false
  // (a successful result answers kMalformed).
  ResourceError error() const {
    const ResourceError* error = std::get_if<ResourceError>(&state_);
    return error != nullptr ? *error : ResourceError::kMalformed;
  }

 private:
  std::variant<T, ResourceError> state_;
};

// A field that is either a 16-bit ordinal (stored as 0xFFFF followed by the
// number) or a NUL-terminated UTF-16 string. An empty string stands for an
// absent field, such as "no menu" in a dialog template.
using NameOrOrdinal = std::variant<std::u16string, std::uint16_t>;

// Returns the ordinal held by `field`, or nothing when it holds a string.
std::optional<std::uint16_t> OrdinalOf(const NameOrOrdinal& field);

// A forward-only cursor over little-endian bytes. The first failed read or
// skip records its reason and moves the cursor to the end; every later read
// then fails too and returns 0 (or an empty value), so a parser can read a
// run of fields and check `ok()` once. Offsets and alignment count from the
// start of the span the reader was made with.
class BinaryReader {
 public:
  explicit BinaryReader(std::span<const std::byte> bytes) : bytes_(bytes) {}

  // True while no read has failed.
  bool ok() const { return !error_.has_value(); }
  // The first failure's reason; kMalformed if there was none.
  ResourceError error() const { return error_.value_or(ResourceError::kMalformed); }

  // Bytes consumed so far, and bytes left after the cursor.
  std::size_t offset() const { return offset_; }
  std::size_t remaining() const { return bytes_.size() - offset_; }

  // Read one little-endian value and advance past it. With fewer bytes left
  // than the value needs, fail with kTruncated and return 0.
  std::uint8_t ReadU8();
  std::uint16_t ReadU16();
  std::int16_t ReadI16();
  std::uint32_t ReadU32();

  // Returns the next `count` bytes and advances past them. With fewer left,
  // fails with `error_if_short` and returns an empty span.
  std::span<const std::byte> ReadBytes(std::size_t count,
                                       ResourceError error_if_short = ResourceError::kTruncated);

  // Returns a reader over the next `count` bytes (its offsets start at 0) and
  // advances past them. With fewer left, fails with kSizeOutOfRange and
  // returns a reader over no bytes.
  BinaryReader ReadSubReader(std::size_t count);

  // Reads UTF-16 code units up to and including a 0 and returns them without
  // the 0. If the bytes end first, fails with kUnterminatedString (or with
  // kTruncated when they end before the first code unit) and returns an
  // empty string.
  std::u16string ReadString();

  // Reads a string-or-ordinal field: 0xFFFF and a 16-bit ordinal, or a
  // string as ReadString reads it. Fails as ReadU16 or ReadString do.
  NameOrOrdinal ReadNameOrOrdinal();

  // Advances to the next offset that is a multiple of `alignment` (a power
  // of two), or to the end when that offset lies beyond it. Never fails:
  // padding that the data leaves out shows up only if something is read.
  void AlignTo(std::size_t alignment);

  // Records `error` as a failure found by the caller's own checks (a bad
  // signature, say), unless an earlier failure is already recorded.
  void Fail(ResourceError error);

 private:
  std::span<const std::byte> bytes_;
  std::size_t offset_ = 0;
  std::optional<ResourceError> error_;
};

}  // namespace framework
