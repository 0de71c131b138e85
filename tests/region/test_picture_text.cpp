// The authoring tool's picture description: what it draws, the regions it
// makes, and the mistakes it names.
#include "picture_text.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

namespace {

krd::FileSpec Read(const std::string& text) {
    std::istringstream in(text);
    return krd::ReadPictureDescription(in);
}

// Rows of one character per pixel: the key's letter for each colour.
std::string Picture(const krd::Raster& raster, const std::vector<std::pair<uint32_t, char>>& key) {
    std::string rows;
    for (int32_t y = 0; y < raster.Height; ++y) {
        for (int32_t x = 0; x < raster.Width; ++x) {
            char letter = '?';
            for (const auto& entry : key) {
                if (entry.first == raster.At(x, y)) letter = entry.second;
            }
            rows += letter;
        }
        rows += '\n';
    }
    return rows;
}

TEST(PictureText, DrawsShapesAndLightsRegionsInTheLitColourOnly) {
    const krd::FileSpec file = Read(
        "file \"two words\"\n"
        "stamp 45292\n"
        "lit #FF0000  # comment after a colour\n"
        "define frame\n"
        "  fill #FFFFFF\n"
        "end\n"
        "picture P 7 5\n"
        "  use frame\n"
        "  rect 0 0 7 1 fill #000000\n"
        "  region 4 rect 1 1 6 5 fill #00FF00 edge #0000FF clip 0 0 4 5\n"
        "  ellipse 4 1 8 5 fill #000000\n");
    EXPECT_EQ(file.Name, "two words");
    EXPECT_EQ(file.TimeStamp, 45292);
    ASSERT_EQ(file.Objects.size(), 1u);
    const krd::ObjectSpec& object = file.Objects[0];
    const std::vector<std::pair<uint32_t, char>> key = {
        {0xFFFFFF, '.'}, {0x000000, '#'}, {0x00FF00, 'g'}, {0x0000FF, 'b'}, {0xFF0000, 'r'}};
    EXPECT_EQ(Picture(object.Plain, key),
              "#######\n"
              ".bbb.##\n"
              ".bgb###\n"
              ".bgb###\n"
              ".bbb.##\n");
    EXPECT_EQ(Picture(object.Highlight, key),
              "#######\n"
              ".bbb.##\n"
              ".brb###\n"
              ".brb###\n"
              ".bbb.##\n");
    ASSERT_EQ(object.Regions.size(), 1u);
    const krd::RegionSpec& region = object.Regions[0];
    EXPECT_EQ(region.Id, 4u);
    EXPECT_EQ(region.Left, 1);
    EXPECT_EQ(region.Top, 1);
    EXPECT_EQ(region.Width, 3);
    EXPECT_EQ(region.Height, 4);
    ASSERT_EQ(region.Outline.size(), 1u);  // identical rows make one band
    EXPECT_EQ(region.Outline[0].Left, 1);
    EXPECT_EQ(region.Outline[0].Bottom, 5);
}

TEST(PictureText, NamesTheLineOfAMistake) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"picture P 4 4\n  fill #12345G\n", "line 2: not a colour #RRGGBB: #12345G"},
        {"picture P 4 4\n  rect 0 0 2 2\n", "line 2: a shape needs a fill or an edge colour"},
        {"picture P 4 4\n  use nothing\n", "line 2: use of an unknown definition"},
        {"picture P 4 4\n  region 1 rect 0 0 2 2 fill #000000 clip 3 3 4 4\n", "line 2: a region without pixels"},
    };
    for (const auto& c : cases) {
        try {
            Read(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
}

}  // namespace
