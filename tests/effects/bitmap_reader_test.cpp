// The bitmap readers on files written by the tests: the current program's
// loadBMP, the stand-in DIB loader and the earlier stage's LoadBMP.

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "bitmap_files.h"
#include "effects/bmp.h"
#include "effects/dib_image.h"
#include "effects/particle_image_path.h"
#include "effects/platform_image.h"

namespace {

constexpr std::size_t PIXEL_START = 54;  // after the 14 + 40 header bytes

struct loadResult {
    int status;
    textureImage image;
};

loadResult load(const std::string& path) {
    loadResult result{0, {0, 0, nullptr}};
    result.status = loadBMP(path.c_str(), &result.image);
    return result;
}

std::vector<unsigned char> data_of(const textureImage& image) {
    const std::size_t bytes = static_cast<std::size_t>(image.width) * image.height * 3;
    return {image.data, image.data + bytes};
}

std::vector<unsigned char> data_of(const dibImage& image) {
    const std::size_t bytes = static_cast<std::size_t>(image.sizeX) * image.sizeY * 3;
    return {image.data, image.data + bytes};
}

void free_dib(dibImage* image) {
    if (image == nullptr) return;
    std::free(image->data);
    std::free(image);
}

bitmapLayout sized(std::int32_t width, std::int32_t height) {
    bitmapLayout layout;
    layout.width = width;
    layout.height = height;
    return layout;
}

std::vector<unsigned char> without_last_byte(std::vector<unsigned char> bytes) {
    bytes.pop_back();
    return bytes;
}

struct badFile {
    const char* what;
    std::vector<unsigned char> bytes;
};

// Files that neither reader may accept.
std::vector<badFile> files_refused_by_both() {
    bitmapLayout bad_signature;
    bad_signature.signature = "MB";
    bitmapLayout two_planes;
    two_planes.planes = 2;
    bitmapLayout eight_bits;
    eight_bits.bits_per_pixel = 8;
    bitmapLayout thirty_two_bits;
    thirty_two_bits.bits_per_pixel = 32;
    const std::vector<unsigned char> good = make_bitmap(sized(4, 2));

    std::vector<badFile> files = {
        {"signature MB", make_bitmap(bad_signature)},
        {"two colour planes", make_bitmap(two_planes)},
        {"8 bits per pixel", make_bitmap(eight_bits)},
        {"32 bits per pixel", make_bitmap(thirty_two_bits)},
        {"zero width", make_bitmap(sized(0, 2))},
        {"zero height", make_bitmap(sized(4, 0))},
        {"negative width", make_bitmap(sized(-4, 2))},
        {"side beyond the limit", make_bitmap(sized(16388, 4))},
        {"bytes beyond the limit", make_bitmap(sized(8192, 8192))},
        {"byte count overflowing 32 bits", make_bitmap(sized(0x7FFFFFFC, 4))},
        {"byte count wrapping to a small one", make_bitmap(sized(0x55555558, 3))},
        {"pixel array one byte short", without_last_byte(good)},
        {"no pixels at all", {good.begin(), good.begin() + PIXEL_START}},
        {"empty file", {}},
    };
    // Every cut through the header fields the readers look at.
    for (std::size_t length = 1; length < 30; length += 3)
        files.push_back({"header cut short", {good.begin(), good.begin() + length}});
    return files;
}

TEST(LoadBmp, ReadsPixelsAsRedGreenBlueInFileRowOrder) {
    scratchDir dir;
    std::vector<unsigned char> bytes = make_bitmap(sized(4, 3));
    // The first stored pixel is pure red: blue 0, green 0, red 255.
    bytes[PIXEL_START + 0] = 0x00;
    bytes[PIXEL_START + 1] = 0x00;
    bytes[PIXEL_START + 2] = 0xFF;
    loadResult result = load(dir.write("red.bmp", bytes));

    ASSERT_EQ(result.status, 1);
    EXPECT_EQ(result.image.width, 4);
    EXPECT_EQ(result.image.height, 3);
    std::vector<unsigned char> expected = rgb_in_file_row_order(4, 3);
    expected[0] = 0xFF;
    expected[1] = 0x00;
    expected[2] = 0x00;
    EXPECT_EQ(data_of(result.image), expected);
    std::free(result.image.data);
}

TEST(LoadBmp, FindsPixelsThroughTheOffsetAfterLongerHeadersAndPalettes) {
    scratchDir dir;
    bitmapLayout palette = sized(8, 2);
    palette.gap_before_pixels = 1024;
    bitmapLayout long_header = sized(8, 2);
    long_header.info_size = 124;
    for (const bitmapLayout& layout : {palette, long_header}) {
        loadResult result = load(dir.write("offset.bmp", make_bitmap(layout)));
        ASSERT_EQ(result.status, 1);
        EXPECT_EQ(data_of(result.image), rgb_in_file_row_order(8, 2));
        std::free(result.image.data);
    }
}

TEST(LoadBmp, RefusesBadFilesAndLeavesNothingToFree) {
    scratchDir dir;
    std::vector<badFile> files = files_refused_by_both();
    files.push_back({"width 3 needs row filler", make_bitmap(sized(3, 2))});
    files.push_back({"width 5 needs row filler", make_bitmap(sized(5, 2))});
    files.push_back({"negative height", make_bitmap(sized(4, -2))});
    files.push_back({"offset beyond the end", [] {
                         bitmapLayout far = sized(4, 2);
                         std::vector<unsigned char> bytes = make_bitmap(far);
                         bytes[10] = 0xFF;  // offset 0x7FFF00FF-ish
                         bytes[13] = 0x7F;
                         return bytes;
                     }()});
    for (const badFile& file : files) {
        SCOPED_TRACE(file.what);
        loadResult result = load(dir.write("bad.bmp", file.bytes));
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.image.data, nullptr);
    }
}

TEST(LoadBmp, RefusesMissingFileAndNullArguments) {
    scratchDir dir;
    EXPECT_EQ(load((dir.path() / "absent.bmp").string()).status, 0);
    EXPECT_EQ(load(dir.path().string()).status, 0);  // a directory
    textureImage image{0, 0, nullptr};
    EXPECT_EQ(loadBMP(nullptr, &image), 0);
    const std::string good = dir.write("good.bmp", make_bitmap(sized(4, 2)));
    EXPECT_EQ(loadBMP(good.c_str(), nullptr), 0);
}

TEST(DibStandIn, DropsRowFillerAndKeepsBottomRowFirst) {
    scratchDir dir;
    for (int width : {1, 2, 3, 4, 5, 7}) {
        SCOPED_TRACE(width);
        dibImage* image = read_dib_image(dir.write("rows.bmp", make_bitmap(sized(width, 3))).c_str());
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->sizeX, width);
        EXPECT_EQ(image->sizeY, 3);
        EXPECT_EQ(data_of(*image), rgb_in_file_row_order(width, 3));
        free_dib(image);
    }
}

TEST(DibStandIn, TurnsTopDownFilesBottomRowFirst) {
    scratchDir dir;
    const int width = 5;
    const int rows = 4;
    dibImage* image = read_dib_image(dir.write("down.bmp", make_bitmap(sized(width, -rows))).c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->sizeY, rows);
    // The file's first row is the top one, so it must come out last.
    const std::vector<unsigned char> file_order = rgb_in_file_row_order(width, rows);
    std::vector<unsigned char> bottom_first;
    for (int row = rows - 1; row >= 0; --row)
        bottom_first.insert(bottom_first.end(), file_order.begin() + row * width * 3,
                            file_order.begin() + (row + 1) * width * 3);
    EXPECT_EQ(data_of(*image), bottom_first);
    free_dib(image);
}

TEST(DibStandIn, AcceptsAFileEndingWithoutItsLastRowFiller) {
    scratchDir dir;
    std::vector<unsigned char> bytes = make_bitmap(sized(3, 2));
    bytes.resize(bytes.size() - 3);  // width 3: 9 bytes of pixels, 3 of filler
    dibImage* image = read_dib_image(dir.write("short.bmp", bytes).c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(data_of(*image), rgb_in_file_row_order(3, 2));
    free_dib(image);
}

TEST(DibStandIn, RefusesBadFiles) {
    scratchDir dir;
    std::vector<badFile> files = files_refused_by_both();
    bitmapLayout compressed;
    compressed.compression = 1;
    bitmapLayout core_header;
    core_header.info_size = 12;
    bitmapLayout unpadded = sized(3, 2);
    unpadded.pad_rows = false;
    files.push_back({"compressed", make_bitmap(compressed)});
    files.push_back({"short core header", make_bitmap(core_header)});
    files.push_back({"most negative height", make_bitmap(sized(4, INT32_MIN))});
    files.push_back({"top-down beyond the limit", make_bitmap(sized(4, -16388))});
    files.push_back({"rows missing their filler", make_bitmap(unpadded)});
    for (const badFile& file : files) {
        SCOPED_TRACE(file.what);
        EXPECT_EQ(read_dib_image(dir.write("bad.bmp", file.bytes).c_str()), nullptr);
    }
    EXPECT_EQ(read_dib_image((dir.path() / "absent.bmp").string().c_str()), nullptr);
    EXPECT_EQ(read_dib_image(nullptr), nullptr);
}

TEST(EarlyStageLoadBmp, ReturnsNullForNullPathOrMissingFileAndTheImageOtherwise) {
    scratchDir dir;
    EXPECT_EQ(LoadBMP(nullptr), nullptr);
    EXPECT_EQ(LoadBMP((dir.path() / "absent.bmp").string().c_str()), nullptr);

    const std::string path = dir.write("image.bmp", make_bitmap(sized(3, 2)));
    platformImage* image = LoadBMP(path.c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->sizeX, 3);
    EXPECT_EQ(image->sizeY, 2);
    EXPECT_EQ(data_of(*image), rgb_in_file_row_order(3, 2));
    free_dib(image);

    bitmapLayout bad;
    bad.bits_per_pixel = 8;
    EXPECT_EQ(LoadBMP(dir.write("bad.bmp", make_bitmap(bad)).c_str()), nullptr);
}

// Every reader refuses what is not a regular file, at once: a FIFO would
// block an ordinary open until a writer came. A link to a file still reads.
TEST(AllReaders, OpenOnlyRegularFilesWithoutBlocking) {
    scratchDir dir;
    const std::string good = dir.write("good.bmp", make_bitmap(sized(4, 2)));
    const std::string link = (dir.path() / "link.bmp").string();
    const std::string fifo = (dir.path() / "fifo.bmp").string();
    ASSERT_EQ(symlink(good.c_str(), link.c_str()), 0);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

    const std::vector<std::pair<std::string, std::function<bool(const char*)>>> readers = {
        {"loadBMP", [](const char* path) {
             loadResult result = load(path);
             std::free(result.image.data);
             return result.status == 1;
         }},
        {"stand-in", [](const char* path) {
             dibImage* image = read_dib_image(path);
             free_dib(image);
             return image != nullptr;
         }},
        {"earlier stage", [](const char* path) {
             platformImage* image = LoadBMP(path);
             free_dib(image);
             return image != nullptr;
         }},
    };
    const std::vector<std::pair<std::string, bool>> files = {
        {good, true}, {link, true}, {fifo, false}, {dir.path().string(), false}, {"/dev/null", false}};
    for (const auto& [reader, reads] : readers) {
        for (const auto& [path, readable] : files) {
            SCOPED_TRACE(reader + " on " + path);
            auto result = std::async(std::launch::async, reads, path.c_str());
            if (result.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
                ADD_FAILURE() << "blocked";
                // A writer coming and going releases the blocked open.
                close(open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
            }
            EXPECT_EQ(result.get(), readable);
        }
    }
}

// The texture is looked for in several places: one where particle.bmp is a
// folder or a FIFO is passed over for the next that has the file.
TEST(ParticleImagePlaces, PassOverWhatIsNoRegularFile) {
    scratchDir dir;
    std::filesystem::create_directories(dir.path() / "folder" / "particle.bmp");
    std::filesystem::create_directories(dir.path() / "fifo");
    const std::string fifo = (dir.path() / "fifo" / "particle.bmp").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directories(dir.path() / "file");
    const std::string file = dir.write("file/particle.bmp", make_bitmap(sized(4, 2)));
    const std::string folder = (dir.path() / "folder" / "particle.bmp").string();
    EXPECT_EQ(first_particle_image({folder, fifo, file}), file);
    EXPECT_EQ(first_particle_image({folder, fifo}), PARTICLE_IMAGE_FILE);
}

}  // namespace
