// Checks the committed artwork under resources/art: every JPEG must be a
// baseline JFIF the program's decoder takes (8-bit, three components, not
// progressive) at the exact size its control expects; the button pictures
// must stay small and pair up with a lighter hover picture of equal size;
// the resource scripts must name files that exist.

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdlib>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

const std::string kArt = std::string(SCOURLY_SOURCE_DIR) + "/resources/art/";

std::vector<unsigned char> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Decoded {
  bool ok = false;
  std::string error;
  unsigned width = 0, height = 0;
  int components = 0;
  int precision = 0;
  J_COLOR_SPACE colorSpace = JCS_UNKNOWN;
  bool progressive = false;
  bool arithmetic = false;
  bool jfif = false;
  long warnings = 0;      // libjpeg's recoverable faults, such as a cut-off file
  double meanLevel = 0;  // average of R, G and B over the whole picture
  std::vector<JSAMPLE> rgb;  // the pixels, row by row

  const JSAMPLE* pixel(unsigned x, unsigned y) const { return &rgb[(y * width + x) * 3]; }
};

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void onJpegError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

// Decodes the whole picture; libjpeg reports any fault through onJpegError.
// Everything with a destructor lives before setjmp, so the jump skips none.
Decoded decode(const std::vector<unsigned char>& data) {
  Decoded d;
  std::vector<JSAMPLE> row;
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  cinfo.err = jpeg_std_error(&err.base);
  err.base.error_exit = onJpegError;
  err.message[0] = '\0';
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    Decoded failed;
    failed.error = err.message;
    return failed;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&cinfo, TRUE);
  d.components = cinfo.num_components;
  d.precision = cinfo.data_precision;
  d.colorSpace = cinfo.jpeg_color_space;
  d.progressive = cinfo.progressive_mode;
  d.arithmetic = cinfo.arith_code;
  d.jfif = cinfo.saw_JFIF_marker;
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  d.width = cinfo.output_width;
  d.height = cinfo.output_height;
  row.resize(static_cast<size_t>(cinfo.output_width) * cinfo.output_components);
  double sum = 0;
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_read_scanlines(&cinfo, rows, 1);
    for (JSAMPLE v : row) sum += v;
    d.rgb.insert(d.rgb.end(), row.begin(), row.end());
  }
  jpeg_finish_decompress(&cinfo);
  d.warnings = err.base.num_warnings;
  jpeg_destroy_decompress(&cinfo);
  d.meanLevel = sum / (static_cast<double>(d.width) * d.height * 3);
  d.ok = true;
  return d;
}

// The first start-of-frame marker, walking the segments after SOI; 0xC0 is
// baseline. libjpeg does not tell baseline from extended sequential apart.
int frameMarker(const std::vector<unsigned char>& data) {
  if (data.size() < 4 || data[0] != 0xFF || data[1] != 0xD8) return -1;
  size_t p = 2;
  while (p + 4 <= data.size()) {
    if (data[p] != 0xFF) return -1;
    const int marker = data[p + 1];
    if (marker == 0xFF) { ++p; continue; }  // fill byte
    const bool sof = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 &&
                     marker != 0xC8 && marker != 0xCC;
    if (sof) return marker;
    if (marker == 0xDA || marker == 0xD9) return -1;  // image data before any frame
    p += 2 + ((data[p + 2] << 8) | data[p + 3]);
  }
  return -1;
}

struct Picture {
  std::string file;
  unsigned width, height;
};

// Button faces: a normal picture NAME.jpg and its hover NAME1.jpg.
const std::vector<Picture> kButtons = {
    {"ADDBTN", 98, 22},      {"EDITBTN", 98, 22},     {"DELBTN", 98, 22},
    {"STOPSCANBTN", 98, 22}, {"BACKBTN", 98, 22},     {"NEXTBTN", 98, 22},
    {"FINISHBTN", 98, 22},   {"SCANNOWBTN", 187, 65}, {"MINIMIZEBTN", 27, 18},
    {"CLOSEBTN", 27, 18},    {"OK", 95, 25},
};

const std::vector<Picture> kWindowPictures = {
    {"splash.jpg", 452, 252},    {"banner.jpg", 740, 83},
    {"strip_left.jpg", 16, 467}, {"strip_right.jpg", 16, 467},
    {"bottom_bar.jpg", 740, 39}, {"icon_help.jpg", 14, 14},
    {"icon_about.jpg", 14, 14},  {"page_scan.jpg", 51, 55},
    {"page_clean.jpg", 60, 55},  {"about.jpg", 493, 350},
};

std::vector<Picture> allJpegs() {
  std::vector<Picture> all = kWindowPictures;
  for (const Picture& b : kButtons)
    for (const char* suffix : {"", "1"})
      all.push_back({"buttons/" + b.file + suffix + ".jpg", b.width, b.height});
  return all;
}

TEST(Artwork, EveryJpegIsABaselineJfifOfItsControlsSize) {
  for (const Picture& pic : allJpegs()) {
    SCOPED_TRACE(pic.file);
    const std::vector<unsigned char> data = readFile(kArt + pic.file);
    ASSERT_FALSE(data.empty()) << "missing or empty";
    const Decoded d = decode(data);
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(d.warnings, 0);
    EXPECT_EQ(d.width, pic.width);
    EXPECT_EQ(d.height, pic.height);
    EXPECT_EQ(d.components, 3);
    EXPECT_EQ(d.colorSpace, JCS_YCbCr);
    EXPECT_EQ(d.precision, 8);
    EXPECT_FALSE(d.progressive);
    EXPECT_FALSE(d.arithmetic);
    EXPECT_TRUE(d.jfif);
    EXPECT_EQ(frameMarker(data), 0xC0);
  }
}

TEST(Artwork, ButtonHoverPicturesAreLighterTwinsUnderTheSizeLimit) {
  for (const Picture& b : kButtons) {
    SCOPED_TRACE(b.file);
    const std::string base = kArt + "buttons/" + b.file;
    const std::vector<unsigned char> normalData = readFile(base + ".jpg");
    const std::vector<unsigned char> hoverData = readFile(base + "1.jpg");
    EXPECT_LT(normalData.size(), 12u * 1024);
    EXPECT_LT(hoverData.size(), 12u * 1024);
    const Decoded normal = decode(normalData);
    const Decoded hover = decode(hoverData);
    ASSERT_TRUE(normal.ok) << normal.error;
    ASSERT_TRUE(hover.ok) << hover.error;
    // A swap must neither move nor resize the button.
    EXPECT_EQ(hover.width, normal.width);
    EXPECT_EQ(hover.height, normal.height);
    EXPECT_GT(hover.meanLevel, normal.meanLevel + 2.0);
  }
}

TEST(Artwork, ButtonScriptDeclaresEachPictureOnceInChinese) {
  std::ifstream in(std::string(SCOURLY_SOURCE_DIR) + "/resources/button_pictures.rc");
  ASSERT_TRUE(in) << "resources/button_pictures.rc missing";
  const std::regex entry(R"(^\s*([A-Z0-9_]+)\s+JPG\s+"([^"]+)\"\s*$)");
  const std::regex language(R"(^\s*LANGUAGE\s+(\d+)\s*,\s*(\d+)\s*$)");
  std::map<std::string, std::string> declared;
  bool chineseFirst = false;
  std::string line;
  while (std::getline(in, line)) {
    std::smatch m;
    if (std::regex_match(line, m, language)) {
      chineseFirst = declared.empty() && m[1] == "4" && m[2] == "2";
    } else if (std::regex_match(line, m, entry)) {
      EXPECT_TRUE(declared.emplace(m[1], m[2]).second) << "twice: " << m[1];
    }
  }
  EXPECT_TRUE(chineseFirst) << "LANGUAGE 4, 2 must come before the first picture";

  std::set<std::string> expected;
  for (const Picture& b : kButtons) {
    expected.insert(b.file);
    expected.insert(b.file + "1");
  }
  std::set<std::string> names;
  for (const auto& [name, path] : declared) {
    names.insert(name);
    EXPECT_EQ(path, "art/buttons/" + name + ".jpg");
  }
  EXPECT_EQ(names, expected);
}

TEST(Artwork, AboutPictureLeavesThePlaceOfItsOkButtonEmpty) {
  const Decoded d = decode(readFile(kArt + "about.jpg"));
  ASSERT_TRUE(d.ok) << d.error;
  // The OK button (336, 259, 95 x 25) and a 2-pixel margin show only the
  // light background, so nothing drawn is hidden under the button.
  const int background[3] = {0xf3, 0xf7, 0xfc};
  int stray = 0;
  for (unsigned y = 257; y < 259 + 25 + 2; ++y)
    for (unsigned x = 334; x < 336 + 95 + 2; ++x)
      for (int c = 0; c < 3; ++c)
        if (std::abs(d.pixel(x, y)[c] - background[c]) > 6) ++stray;
  EXPECT_EQ(stray, 0);
}

uint32_t le32(const std::vector<unsigned char>& d, size_t at) {
  return d[at] | d[at + 1] << 8 | d[at + 2] << 16 | static_cast<uint32_t>(d[at + 3]) << 24;
}
uint16_t le16(const std::vector<unsigned char>& d, size_t at) {
  return static_cast<uint16_t>(d[at] | d[at + 1] << 8);
}

TEST(Artwork, UpdaterSideBitmapIsUncompressed24BitAndIconHasEverySize) {
  const std::vector<unsigned char> bmp = readFile(kArt + "updater_side.bmp");
  ASSERT_GE(bmp.size(), 54u);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(le32(bmp, 14), 40u);  // BITMAPINFOHEADER, readable by every loader
  EXPECT_EQ(static_cast<int32_t>(le32(bmp, 18)), 115);
  EXPECT_EQ(static_cast<int32_t>(le32(bmp, 22)), 229);  // positive: bottom-up
  EXPECT_EQ(le16(bmp, 28), 24);
  EXPECT_EQ(le32(bmp, 30), 0u);  // BI_RGB
  const size_t stride = (115 * 3 + 3) / 4 * 4;
  EXPECT_GE(bmp.size(), le32(bmp, 10) + stride * 229);

  const std::vector<unsigned char> ico = readFile(kArt + "updater.ico");
  ASSERT_GE(ico.size(), 6u);
  EXPECT_EQ(le16(ico, 0), 0);
  EXPECT_EQ(le16(ico, 2), 1);  // icon, not cursor
  const unsigned count = le16(ico, 4);
  ASSERT_GE(ico.size(), 6 + 16u * count);
  std::set<unsigned> sizes;
  for (unsigned i = 0; i < count; ++i) {
    const size_t e = 6 + 16 * i;
    const unsigned w = ico[e] ? ico[e] : 256, h = ico[e + 1] ? ico[e + 1] : 256;
    SCOPED_TRACE("icon image " + std::to_string(w));
    EXPECT_EQ(w, h);
    EXPECT_EQ(le16(ico, e + 6), 32);  // full colour with alpha
    const uint32_t bytes = le32(ico, e + 8), offset = le32(ico, e + 12);
    ASSERT_LE(static_cast<size_t>(offset) + bytes, ico.size());
    if (w == 256) {
      // Stored as PNG; the image loader wants 8 bits a channel, RGBA.
      ASSERT_GE(bytes, 26u);
      EXPECT_EQ(ico[offset + 1], 'P');
      EXPECT_EQ(ico[offset + 24], 8);
      EXPECT_EQ(ico[offset + 25], 6);
    } else {
      EXPECT_EQ(le32(ico, offset), 40u);
      EXPECT_EQ(le16(ico, offset + 14), 32);
    }
    sizes.insert(w);
  }
  EXPECT_EQ(sizes, (std::set<unsigned>{16, 24, 32, 48, 64, 72, 256}));
}

}  // namespace
