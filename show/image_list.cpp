#include "show/image_list.h"

#include <algorithm>
#include <cmath>

namespace ruzir {
namespace {

wchar_t AsciiLower(wchar_t c) {
  return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
}

// The extension with its dot ("photo.JPG" -> ".JPG"); empty when there is none.
std::wstring_view Extension(std::wstring_view name) {
  const auto dot = name.rfind(L'.');
  return dot == std::wstring_view::npos ? std::wstring_view{} : name.substr(dot);
}

// The extensions are plain ASCII, so ASCII folding is the whole comparison.
bool SameExtension(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](wchar_t x, wchar_t y) { return AsciiLower(x) == AsciiLower(y); });
}

}  // namespace

std::vector<std::wstring> ImagePatterns(std::span<const std::wstring> declared) {
  std::vector<std::wstring_view> named;
  for (const std::wstring_view list : declared) {
    for (std::size_t at = 0; at <= list.size();) {
      const std::size_t end = std::min(list.find_first_of(L",;", at), list.size());
      std::wstring_view one = list.substr(at, end - at);
      while (!one.empty() && one.front() == L' ') one.remove_prefix(1);
      while (!one.empty() && one.back() == L' ') one.remove_suffix(1);
      named.push_back(one);
      at = end + 1;
    }
  }
  std::vector<std::wstring> patterns(std::begin(kImagePatterns), std::end(kImagePatterns));
  for (const std::wstring_view extension : kDecodedExtensions) {
    if (std::any_of(named.begin(), named.end(),
                    [&](std::wstring_view one) { return SameExtension(one, extension); })) {
      patterns.push_back(L"*" + std::wstring(extension));
    }
  }
  return patterns;
}

bool MatchesPattern(std::wstring_view name, std::wstring_view pattern) {
  const std::wstring_view wanted = Extension(pattern);
  return !wanted.empty() && SameExtension(Extension(name), wanted);
}

bool IsOrdinaryFile(std::uint32_t attributes) {
  return (attributes & (kAttributeDirectory | kAttributeHidden | kAttributeSystem)) == 0;
}

ImageList BuildImageList(std::wstring_view folder, std::span<const std::wstring> patterns,
                         DirectorySearch& search) {
  std::vector<std::wstring> files;
  for (const std::wstring& pattern : patterns) {
    if (files.size() >= static_cast<std::size_t>(kMaxImageCount)) break;
    search.Find(folder, pattern, [&](const DirectoryEntry& entry) {
      if (IsOrdinaryFile(entry.attributes) && MatchesPattern(entry.name, pattern)) {
        files.push_back(std::wstring(folder) + entry.name);
      }
      return files.size() < static_cast<std::size_t>(kMaxImageCount);
    });
  }
  return ImageList(std::move(files));
}

std::int16_t PickImageIndex(std::int16_t count, UniformSource& random) {
  // In double, so that count x r never rounds up to count; the clamp keeps
  // a source that breaks its promise of r < 1 inside the list.
  const double r = random.NextUniform();
  const auto index = static_cast<int>(std::floor(static_cast<double>(count) * r)) + 1;
  return static_cast<std::int16_t>(std::clamp(index, 1, static_cast<int>(count)));
}

std::optional<std::int16_t> ImagePicker::PickAndLoad(UniformSource& random,
                                                     const std::function<bool(std::int16_t)>& load,
                                                     std::span<const std::int16_t> avoid) {
  ++picks_;
  const auto count = static_cast<std::int16_t>(failedAt_.size());
  bool anyOpen = false;
  for (std::size_t i = 0; i < failedAt_.size(); ++i) anyOpen = anyOpen || !Resting(i);
  if (!anyOpen) std::fill(failedAt_.begin(), failedAt_.end(), 0);
  std::vector<bool> avoided(failedAt_.size());
  for (const std::int16_t index : avoid) {
    if (index >= 1 && index <= count) avoided[static_cast<std::size_t>(index) - 1] = true;
  }
  // First the files no other monitor shows, then, when none of them loads,
  // those: two monitors show the same picture only when nothing else is left.
  for (const bool shownElsewhere : {false, true}) {
    const auto closed = [&](std::size_t i) { return Resting(i) || avoided[i] != shownElsewhere; };
    int open = 0;  // files neither closed nor tried in this round
    for (std::size_t i = 0; i < failedAt_.size(); ++i) open += closed(i) ? 0 : 1;
    while (open > 0) {
      std::int16_t index = PickImageIndex(count, random);
      if (closed(static_cast<std::size_t>(index) - 1)) {
        // The k-th of the open files, k drawn uniformly.
        int k = PickImageIndex(static_cast<std::int16_t>(open), random);
        for (std::size_t i = 0; i < failedAt_.size(); ++i) {
          if (!closed(i) && --k == 0) {
            index = static_cast<std::int16_t>(i + 1);
            break;
          }
        }
      }
      if (load(index)) return index;
      failedAt_[static_cast<std::size_t>(index) - 1] = picks_;
      --open;
    }
  }
  return std::nullopt;
}

}  // namespace ruzir
