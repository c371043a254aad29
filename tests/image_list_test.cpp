#include "show/image_list.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "tests/memory_store.h"

namespace ruzir {
namespace {

using test::FixedUniform;

// A folder as the platform's search sees it: what each pattern returns, in
// order, wildcard quirks included (the test lists them by hand).
class FakeSearch final : public DirectorySearch {
 public:
  std::map<std::wstring, std::vector<DirectoryEntry>> results;
  std::vector<std::wstring> searched;  // "folder|pattern" in call order
  std::size_t delivered = 0;

  void Find(std::wstring_view folder, std::wstring_view pattern,
            const std::function<bool(const DirectoryEntry&)>& found) override {
    searched.push_back(std::wstring(folder) + L"|" + std::wstring(pattern));
    for (const auto& entry : results[std::wstring(pattern)]) {
      ++delivered;
      if (!found(entry)) return;
    }
  }
};

std::vector<std::wstring> Files(const ImageList& list) {
  std::vector<std::wstring> files;
  for (std::int16_t i = 1; i <= list.Count(); ++i) files.push_back(list.File(i));
  return files;
}

TEST(ImageList, NamesAreMatchedByTheirOwnExtension) {
  struct Case {
    const wchar_t* name;
    const wchar_t* pattern;
    bool matches;
  };
  const Case cases[] = {
      {L"a.jpg", L"*.jpg", true},       {L"A.JPG", L"*.jpg", true},   {L"b.Jpeg", L"*.jpeg", true},
      {L"c.BMP", L"*.bmp", true},       {L".jpg", L"*.jpg", true},    {L"写真.jpg", L"*.jpg", true},
      {L"photo.jpeg", L"*.jpg", false},  // found through its short name PHOTO~1.JPG
      {L"a.jpgx", L"*.jpg", false},      // likewise A~1.JPG
      {L"a.jpg.png", L"*.jpg", false},  {L"a.jpg ", L"*.jpg", false}, {L"jpg", L"*.jpg", false},
      {L"a.bmp", L"*.jpg", false},      {L"a.jpe", L"*.jpeg", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MatchesPattern(c.name, c.pattern), c.matches) << c.name << " " << c.pattern;
  }
}

TEST(ImageList, ListsJpgThenJpegThenBmpEachFileOnce) {
  FakeSearch search;
  search.results[L"*.jpg"] = {{L"z.jpg", 0x20},
                              {L"photo.jpeg", 0x20},
                              {L"A.JPG", 0x1 /* read-only */},
                              {L"album.jpg", 0x10 /* folder */},
                              {L"h.jpg", 0x2 /* hidden */},
                              {L"s.jpg", 0x4 /* system */},
                              {L"x.jpgx", 0x20}};
  search.results[L"*.jpeg"] = {{L"photo.jpeg", 0x20}, {L"b.Jpeg", 0}};
  search.results[L"*.bmp"] = {{L"c.bmp", 0}};
  const ImageList list = BuildImageList(L"C:\\Pictures\\", search);
  EXPECT_EQ(Files(list),
            (std::vector<std::wstring>{L"C:\\Pictures\\z.jpg", L"C:\\Pictures\\A.JPG",
                                       L"C:\\Pictures\\photo.jpeg", L"C:\\Pictures\\b.Jpeg",
                                       L"C:\\Pictures\\c.bmp"}));
  EXPECT_EQ(list.Count(), 5);
  EXPECT_EQ(search.searched,
            (std::vector<std::wstring>{L"C:\\Pictures\\|*.jpg", L"C:\\Pictures\\|*.jpeg",
                                       L"C:\\Pictures\\|*.bmp"}));
}

TEST(ImageList, KeepsTheFirst32767PicturesAndStopsSearching) {
  FakeSearch search;
  for (int i = 0; i < 40000; ++i)
    search.results[L"*.jpg"].push_back({std::to_wstring(i) + L".jpg", 0});
  search.results[L"*.bmp"] = {{L"last.bmp", 0}};
  const ImageList list = BuildImageList(L"D:\\", search);
  ASSERT_EQ(list.Count(), 32767);
  EXPECT_EQ(list.File(1), L"D:\\0.jpg");
  EXPECT_EQ(list.File(32767), L"D:\\32766.jpg");
  EXPECT_EQ(search.delivered, 32767u);
  EXPECT_EQ(search.searched.size(), 1u);
}

TEST(ImageList, PickImageIndexCoversTheListEvenly) {
  struct Case {
    std::int16_t count;
    float r;
    std::int16_t index;
  };
  const Case cases[] = {
      {1, 0.0f, 1},        {1, 0.99999994f, 1}, {3, 0.0f, 1},     {3, 0.3333333f, 1},
      {3, 0.33333334f, 2}, {3, 0.99999994f, 3}, {32767, 0.0f, 1}, {32767, 0.99999994f, 32767},
      {10, 1.0f, 10},  // a source that breaks its promise still stays in the list
  };
  for (const auto& c : cases) {
    FixedUniform random({c.r});
    EXPECT_EQ(PickImageIndex(c.count, random), c.index) << c.count << " " << c.r;
  }
}

// One pick tries each file at most once; a file that failed rests for as
// many picks as there are files, then is tried again.
TEST(ImageList, PickerTriesEachFileOncePerPickAndRetriesLater) {
  struct Pick {
    std::set<std::int16_t> broken;
    std::vector<float> draws;
    std::vector<std::int16_t> tried;  // in order
    std::optional<std::int16_t> shown;
  };
  struct Case {
    const char* name;
    std::int16_t count;
    std::vector<Pick> picks;
  };
  const std::vector<float> zero{0.0f};  // index 1, or else the first file not resting
  const Case cases[] = {
      {"a good first draw", 4, {{{}, {0.5f}, {3}, 3}}},
      {"a broken draw, then a good one", 4, {{{3}, {0.5f, 0.0f}, {3, 1}, 1}}},
      // 3 and 1 fail; the next draw hits 3 again and is replaced by the 2nd
      // of the untried 2 and 4.
      {"a repeated broken draw is redrawn among the rest",
       4,
       {{{3, 1}, {0.5f, 0.0f, 0.5f, 0.6f}, {3, 1, 4}, 4}}},
      {"every file broken", 3, {{{1, 2, 3}, zero, {1, 2, 3}, std::nullopt}}},
      {"the one good file among many broken", 5, {{{1, 2, 3, 4}, zero, {1, 2, 3, 4, 5}, 5}}},
      {"all fail, then come back",
       2,
       {{{1, 2}, zero, {1, 2}, std::nullopt},
        {{1, 2}, zero, {1, 2}, std::nullopt},
        {{}, zero, {1}, 1}}},
      {"a locked file rests for as many picks as there are files",
       3,
       {{{1}, zero, {1, 2}, 2}, {{}, zero, {2}, 2}, {{}, zero, {2}, 2}, {{}, zero, {1}, 1}}},
  };
  for (const auto& c : cases) {
    ImagePicker picker(c.count);
    for (const Pick& pick : c.picks) {
      FixedUniform random(pick.draws);
      std::vector<std::int16_t> tried;
      const auto shown = picker.PickAndLoad(random, [&](std::int16_t i) {
        tried.push_back(i);
        return pick.broken.count(i) == 0;
      });
      EXPECT_EQ(shown, pick.shown) << c.name;
      EXPECT_EQ(tried, pick.tried) << c.name;
    }
  }
}

}  // namespace
}  // namespace ruzir
