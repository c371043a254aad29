// Test pictures and screenshots for the end-to-end tests: folders of solid-
// colour JPEG and BMP files (and two-colour BMP files) made on the spot, and
// a whole-screen capture taken in one copy, so that a moving picture is
// measured at one instant.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ruzir::e2e {

// A fresh folder under the temporary folder, deleted with its files; its
// name is padded to make the path at least `minimumLength` characters long.
class PictureFolder {
 public:
  explicit PictureFolder(std::size_t minimumLength = 0);
  PictureFolder(const PictureFolder&) = delete;
  PictureFolder& operator=(const PictureFolder&) = delete;
  ~PictureFolder();

  // The folder, ending with '\'.
  const std::wstring& path() const { return path_; }

  void AddBmp(const std::wstring& name, int width, int height, COLORREF colour) const;
  // The right half in another colour: the border between the halves shows
  // where a picture is across even when it is wider than the screen.
  void AddBmp(const std::wstring& name, int width, int height, COLORREF colour,
              COLORREF rightHalf) const;
  void AddJpeg(const std::wstring& name, int width, int height, COLORREF colour) const;
  void AddFile(const std::wstring& name, const std::vector<std::uint8_t>& bytes) const;
  // Rewrites the size a BMP's info header or a JPEG's frame header claims;
  // the pixel data stay as they are.
  void ClaimSize(const std::wstring& name, int width, int height) const;
  void AddFolder(const std::wstring& name) const;
  void SetAttributes(const std::wstring& name, DWORD attributes) const;

 private:
  // The file call's form of a name in the folder, at any length.
  std::wstring At(const std::wstring& name) const;

  std::wstring path_;
  std::vector<std::wstring> levels_;  // the folders above it that it made
};

// Stores `folder` as the show's picture folder.
void UsePictureFolder(const PictureFolder& folder);
// Stores a 2-byte setting ("Interval", "Break", "Gost", "Desktop").
void SetShortSetting(const wchar_t* name, int value);

class Screenshot {
 public:
  Screenshot();  // the whole primary screen, now

  int width() const { return width_; }
  int height() const { return height_; }
  COLORREF At(int x, int y) const;
  // Pixels within `tolerance` of `colour` on every channel.
  bool Matches(int x, int y, COLORREF colour, int tolerance) const;
  int Count(COLORREF colour, int tolerance) const;
  // The smallest rectangle holding every such pixel; nullopt when none.
  std::optional<RECT> Bounds(COLORREF colour, int tolerance) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;  // 0x00RRGGBB, top-down
};

}  // namespace ruzir::e2e
