// Reads the capture times of many photos and videos and compares that with
// the bare loop of the same system calls, measured in the same run on the
// same files (warm in the cache, as after the listing that precedes it):
//   - 10,000 JPEGs of 72 KiB, as a camera writes them (EXIF with a thumbnail
//     first, then the image): against opening each and reading its first
//     64 KiB;
//   - 1,000 MP4s of 512 KiB with the moov box at the end, behind a 64-bit
//     mdat: against opening each and reading the top-level box headers up
//     to moov's.
//
//   capture_time_bench [JPEG count, default 10000] [MP4 count, default 1000]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "capturetime/capture_reader.h"
#include "fakes/byte_writers.h"
#include "fakes/temp_folder.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/long_path.h"
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

using namespace std::string_literals;
using Clock = std::chrono::steady_clock;

using fakes::be;
using fakes::le;

// A camera's JPEG: APP1 with IFD0 (make, model, the EXIF pointer), the EXIF
// IFD (the capture time with its offset and sub-seconds) and an 8 KiB
// thumbnail; then 64 KiB of image data.
std::string cameraJpeg(int n) {
  char date[20];
  std::snprintf(date, sizeof date, "2024:%02d:%02d %02d:%02d:%02d", 1 + n % 12, 1 + n % 28,
                n / 3600 % 24, n / 60 % 60, n % 60);
  std::string tiff = "II*\0"s + le(8, 4);
  // IFD0 at 8: three entries, then the EXIF IFD at 8 + 2 + 36 + 4 = 50.
  const std::string make = "Chronoseq\0"s, model = "Bench camera\0"s;
  const std::size_t exifAt = 50, exifSize = 2 + 3 * 12 + 4, dataAt = exifAt + exifSize;
  tiff += le(3, 2);
  tiff += le(0x010F, 2) + le(2, 2) + le(make.size(), 4) + le(dataAt, 4);
  tiff += le(0x0110, 2) + le(2, 2) + le(model.size(), 4) + le(dataAt + make.size(), 4);
  tiff += le(0x8769, 2) + le(4, 2) + le(1, 4) + le(exifAt, 4) + le(0, 4);
  const std::size_t dateAt = dataAt + make.size() + model.size();
  tiff += le(3, 2);
  tiff += le(0x9003, 2) + le(2, 2) + le(20, 4) + le(dateAt, 4);
  tiff += le(0x9011, 2) + le(2, 2) + le(7, 4) + le(dateAt + 20, 4);
  tiff += le(0x9291, 2) + le(2, 2) + le(4, 4) + "123\0"s;
  tiff += le(0, 4) + make + model + std::string(date, 19) + '\0' + "+09:00\0"s;
  tiff += std::string(8 * 1024, '\x55');  // the thumbnail
  const std::string app1 = "\xFF\xE1"s + be(2 + 6 + tiff.size(), 2) + "Exif\0\0"s + tiff;
  return "\xFF\xD8"s + app1 + "\xFF\xDA"s + be(8, 2) + std::string(6, '\0') +
         std::string(72 * 1024 - 2 - app1.size() - 10 - 2, '\x33') + "\xFF\xD9"s;
}

std::string box(const std::string& type, const std::string& body) {
  return be(8 + body.size(), 4) + type + body;
}

// A phone's MP4 with moov at the end: ftyp, a 64-bit mdat, then moov with
// mvhd and a track's boxes.
std::string phoneMp4(int n) {
  const std::string ftyp = box("ftyp", "isom"s + be(0x200, 4) + "isomiso2avc1mp41");
  const std::string media(512 * 1024 - 4096, '\x77');
  const std::string mdat = be(1, 4) + "mdat" + be(16 + media.size(), 8) + media;
  const std::string mvhd =
      box("mvhd", be(0, 4) + be(3'800'000'000u + n, 4) + be(3'800'000'000u + n, 4) + be(1000, 4) +
                      be(60'000, 4) + std::string(80, '\0'));
  const std::string trak = box("trak", box("tkhd", std::string(84, '\0')) +
                                           box("mdia", box("mdhd", std::string(24, '\0')) +
                                                           box("minf", std::string(2500, '\0'))));
  return ftyp + mdat + box("moov", mvhd + trak);
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::exit(1);
  }
}

// The bare loops: the OS's own open, positioned reads and close, no parsing.
#ifdef _WIN32
struct BareFile {
  explicit BareFile(const std::string& path)
      : h(CreateFileW(platform::win32::toWinPath(path).c_str(), GENERIC_READ,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~BareFile() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  std::size_t readAt(std::uint64_t offset, char* buffer, std::size_t count) {
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(offset);
    where.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    return ReadFile(h, buffer, static_cast<DWORD>(count), &got, &where) ? got : 0;
  }
  HANDLE h;
};
#else
struct BareFile {
  explicit BareFile(const std::string& path) : fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~BareFile() {
    if (fd >= 0) ::close(fd);
  }
  std::size_t readAt(std::uint64_t offset, char* buffer, std::size_t count) {
    const ssize_t got = ::pread(fd, buffer, count, static_cast<off_t>(offset));
    return got > 0 ? static_cast<std::size_t>(got) : 0;
  }
  int fd;
};
#endif

std::uint64_t bareFirst64KiB(const std::vector<std::string>& paths) {
  static char buffer[64 * 1024];
  std::uint64_t sum = 0;
  for (const std::string& path : paths) {
    BareFile file(path);
    sum += file.readAt(0, buffer, sizeof buffer) + static_cast<unsigned char>(buffer[200]);
  }
  return sum;
}

// The top-level box headers, 8 bytes each and 8 more for a 64-bit size, up
// to and including moov's.
std::uint64_t bareBoxHeaders(const std::vector<std::string>& paths) {
  std::uint64_t sum = 0;
  for (const std::string& path : paths) {
    BareFile file(path);
    std::uint64_t at = 0;
    for (;;) {
      unsigned char head[16];
      if (file.readAt(at, reinterpret_cast<char*>(head), 8) != 8) break;
      std::uint64_t size = 0;
      for (int i = 0; i < 4; ++i) size = size << 8 | head[i];
      if (head[4] == 'm' && head[5] == 'o' && head[6] == 'o' && head[7] == 'v') {
        sum += size;
        break;
      }
      if (size == 1) {
        if (file.readAt(at + 8, reinterpret_cast<char*>(head + 8), 8) != 8) break;
        size = 0;
        for (int i = 8; i < 16; ++i) size = size << 8 | head[i];
      }
      if (size < 8) break;
      at += size;
    }
  }
  return sum;
}

std::uint64_t captureTimes(const std::vector<std::string>& paths) {
  std::uint64_t sum = 0;
  for (const std::string& path : paths) {
    const capturetime::CaptureTime time = capturetime::readCaptureTimeOfFile(path);
    if (!time.present()) {
      std::fprintf(stderr, "no capture time in %s\n", path.c_str());
      std::exit(1);
    }
    sum += time.utc + static_cast<std::uint64_t>(time.wall.second);
  }
  return sum;
}

double millisecondsOf(const auto& work) {
  const auto start = Clock::now();
  volatile std::uint64_t sink = work();
  (void)sink;
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Rounds of the bare loop and the reader, in alternating order so that
// neither always runs second; the ratio is taken within each round.
void compare(const char* what, const std::vector<std::string>& paths,
             std::uint64_t (*bare)(const std::vector<std::string>&)) {
  constexpr int kRounds = 9;
  bare(paths);
  captureTimes(paths);  // both warm
  std::vector<double> bareMs, readerMs, ratios;
  for (int round = 0; round < kRounds; ++round) {
    double b = 0, r = 0;
    if (round % 2 == 0) {
      b = millisecondsOf([&] { return bare(paths); });
      r = millisecondsOf([&] { return captureTimes(paths); });
    } else {
      r = millisecondsOf([&] { return captureTimes(paths); });
      b = millisecondsOf([&] { return bare(paths); });
    }
    bareMs.push_back(b);
    readerMs.push_back(r);
    ratios.push_back(r / b);
  }
  std::printf(
      "%s: capture times %.1f ms, bare loop %.1f ms (medians of %d rounds); "
      "ratio %.2fx (median of the rounds' ratios; goal <= 1.2x)\n",
      what, median(readerMs), median(bareMs), kRounds, median(ratios));
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  const int jpegs = argc > 1 ? std::atoi(argv[1]) : 10'000;
  const int movies = argc > 2 ? std::atoi(argv[2]) : 1'000;
  testsupport::TempFolder folder;
  const auto makeStart = Clock::now();
  std::vector<std::string> jpegPaths, moviePaths;
  for (int i = 0; i < jpegs; ++i) {
    jpegPaths.push_back(folder.pathOf("IMG_" + std::to_string(10'000 + i) + ".JPG"));
    writeFile(jpegPaths.back(), cameraJpeg(i));
  }
  for (int i = 0; i < movies; ++i) {
    moviePaths.push_back(folder.pathOf("MOV_" + std::to_string(10'000 + i) + ".MP4"));
    writeFile(moviePaths.back(), phoneMp4(i));
  }
  std::printf("made %d JPEGs and %d MP4s in %.0f ms in %s\n", jpegs, movies,
              std::chrono::duration<double, std::milli>(Clock::now() - makeStart).count(),
              folder.path().c_str());
  compare("JPEG, first 64 KiB", jpegPaths, bareFirst64KiB);
  compare("MP4, moov at the end", moviePaths, bareBoxHeaders);
  return 0;
}
