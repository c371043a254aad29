// The pictures of the show: the folder's files of every picture format the
// system can decode, listed once at start-up and never again (files added or
// removed during the show go unnoticed), and the random draw of the next one.
//
// JPEG and BMP ("*.jpg", "*.jpeg", "*.bmp") are always searched. The other
// formats come from the extensions the system's decoders declare, read once
// at start-up: a format is searched only where a codec can decode it, and
// only the picture formats whose claimed size the header check can bound
// (show/picture_header.h). Icons, cursors, textures and camera raw files
// are no pictures for a slide show, and are left out however declared.
//
// The platform's wildcards also match 8.3 short names, so "*.jpg" would find
// "photo.jpeg" (short name PHOTO~1.JPG) and "a.jpgx" too. Every name the
// search returns is therefore checked again against its long name's
// extension: each file is listed once, under its own pattern.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "support/random.h"

namespace ruzir {

// Searched always, first, in this order.
inline constexpr std::wstring_view kImagePatterns[] = {L"*.jpg", L"*.jpeg", L"*.bmp"};

// The other picture extensions, searched in this order where a decoder
// declares them: PNG, GIF (its first frame), TIFF (its first page), WebP,
// HEIF and AVIF, JPEG XR, JPEG XL.
inline constexpr std::wstring_view kDecodedExtensions[] = {
    L".png", L".gif",  L".tif", L".tiff", L".webp", L".heic", L".heif",
    L".hif", L".avif", L".jxr", L".wdp",  L".hdp",  L".jxl"};

// The patterns to search, kImagePatterns first, then "*" + each extension of
// kDecodedExtensions that one of `declared` names. Each of `declared` is one
// decoder's list as the system gives it: extensions with their dots,
// separated by commas or semicolons, in any case (".tiff,.tif").
std::vector<std::wstring> ImagePatterns(std::span<const std::wstring> declared);

// The count is 16-bit: the list keeps the first 32,767 pictures.
inline constexpr std::int16_t kMaxImageCount = 32767;

// File attribute bits as the platform reports them.
inline constexpr std::uint32_t kAttributeHidden = 0x2;
inline constexpr std::uint32_t kAttributeSystem = 0x4;
inline constexpr std::uint32_t kAttributeDirectory = 0x10;

struct DirectoryEntry {
  std::wstring name;  // long name, no folder
  std::uint32_t attributes = 0;
};

// One wildcard search in one folder, no subfolders.
class DirectorySearch {
 public:
  virtual ~DirectorySearch() = default;
  // Calls `found` for each entry matching `pattern` in `folder` (which ends
  // with '\'), in the platform's order, until it returns false.
  virtual void Find(std::wstring_view folder, std::wstring_view pattern,
                    const std::function<bool(const DirectoryEntry&)>& found) = 0;
};

// ImageFiles with ImageCount: full file names, indexed from 1.
class ImageList {
 public:
  explicit ImageList(std::vector<std::wstring> files) : files_(std::move(files)) {}
  std::int16_t Count() const { return static_cast<std::int16_t>(files_.size()); }
  // 1 <= index <= Count().
  const std::wstring& File(std::int16_t index) const {
    return files_.at(static_cast<std::size_t>(index) - 1);
  }

 private:
  std::vector<std::wstring> files_;
};

// Whether the search result `name` belongs to `pattern` ("*.ext"): its own
// extension, compared without regard to case, is exactly the pattern's.
bool MatchesPattern(std::wstring_view name, std::wstring_view pattern);

// Ordinary files only: no folders, no hidden or system files.
bool IsOrdinaryFile(std::uint32_t attributes);

// The pictures of `folder` (ending with '\') matching `patterns`, pattern by
// pattern, at most kMaxImageCount of them, each as folder + name. Empty when
// there are none.
ImageList BuildImageList(std::wstring_view folder, std::span<const std::wstring> patterns,
                         DirectorySearch& search);

// A random index from 1 to count (count >= 1); every index has the same chance.
std::int16_t PickImageIndex(std::int16_t count, UniformSource& random);

// Draws the pictures of the show and lets those that could not be loaded
// rest. A file may be missing, damaged or locked only for a while, so a
// failure is not for ever: a file that failed is tried again at the earliest
// as many picks later as there are pictures (about as long as a random draw
// takes to come back to it anyway), and when every file is resting, all of
// them get another chance at once.
class ImagePicker {
 public:
  explicit ImagePicker(std::int16_t count) : failedAt_(static_cast<std::size_t>(count), 0) {}

  // One pick: draws an index with PickImageIndex and calls `load` with it
  // until one loads; a resting index is replaced by a draw among the others,
  // so each file is tried at most once. The files in `avoid` (shown on other
  // monitors) are drawn only once no other file has loaded. nullopt when none
  // loads.
  std::optional<std::int16_t> PickAndLoad(UniformSource& random,
                                          const std::function<bool(std::int16_t)>& load,
                                          std::span<const std::int16_t> avoid = {});

 private:
  bool Resting(std::size_t i) const {
    return failedAt_[i] != 0 && picks_ - failedAt_[i] < failedAt_.size();
  }

  std::vector<std::uint64_t> failedAt_;  // the pick of the last failure, 0 for none
  std::uint64_t picks_ = 0;
};

}  // namespace ruzir
