#include "region_stream.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr size_t kBlockHeaderSize = 16;

uint32_t LoadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

uint32_t Adler32Of(const void* data, size_t count) {
    return static_cast<uint32_t>(adler32(1, static_cast<const Bytef*>(data), static_cast<uInt>(count)));
}

struct BlockHeader {
    int32_t PackedSize;
    int32_t Size;
    uint32_t DataCheck;
};

void CheckContentSize(int32_t count) {
    if (count < 0 || count > kMaxBlockContent) throw EZlibDataError();
}

// Reads and checks the 16-byte header of a block whose content must be count
// bytes. The payload's size is checked against what is left of the stream
// here, before anything is allocated or read for it.
BlockHeader ReadBlockHeader(TStream& stream, int32_t count) {
    uint8_t bytes[kBlockHeaderSize];
    stream.ReadBuffer(bytes, 4);
    stream.ReadBuffer(bytes + 4, 12);
    const BlockHeader header{static_cast<int32_t>(LoadU32(bytes + 4)), static_cast<int32_t>(LoadU32(bytes + 8)),
                             LoadU32(bytes + 12)};
    if (header.Size != count) throw EZlibDataError();
    if (Adler32Of(bytes + 4, 12) != LoadU32(bytes)) throw EZlibDataError();
    if (header.PackedSize < kStoredBlock) throw EZlibDataError();
    const bool stored = header.PackedSize == kStoredBlock;
    const int64_t payload = stored ? count : header.PackedSize;
    if (payload > stream.Remaining()) throw EReadError();
    if (!stored && count > kMaxInflateRatio * header.PackedSize) throw EZlibDataError();
    return header;
}

void SkipBytes(TStream& stream, int64_t count, uint8_t* scratch, size_t scratchSize) {
    while (count > 0) {
        const size_t step = static_cast<size_t>(std::min<int64_t>(count, static_cast<int64_t>(scratchSize)));
        stream.ReadBuffer(scratch, step);
        count -= static_cast<int64_t>(step);
    }
}

[[noreturn]] void RaiseZlibError(int code) {
    if (code == Z_DATA_ERROR) throw EZlibDataError();
    if (code == Z_MEM_ERROR) throw std::bad_alloc();
    throw EZlibInternalError(code);
}

class Inflater {
public:
    Inflater() {
        const int code = inflateInit(&z_);
        if (code != Z_OK) RaiseZlibError(code);
    }
    ~Inflater() { inflateEnd(&z_); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
    z_stream& operator*() { return z_; }

private:
    z_stream z_{};
};

// Inflates a payload of packedSize bytes into exactly count bytes of buffer
// and returns the Adler-32 of what it produced (zlib keeps it as it goes).
// The payload is read in chunks of at most 64 KiB; the output goes straight
// into buffer, and one byte of output beyond count is a fault.
uint32_t InflatePayload(TStream& stream, int32_t packedSize, uint8_t* buffer, int32_t count) {
    Inflater inflater;
    z_stream& z = *inflater;
    const size_t chunk = std::min<size_t>(static_cast<size_t>(packedSize), kInflateChunk);
    std::unique_ptr<uint8_t[]> input(new uint8_t[std::max<size_t>(chunk, 1)]);
    int64_t inputLeft = packedSize;
    size_t written = 0;
    for (;;) {
        if (z.avail_in == 0 && inputLeft > 0) {
            const size_t step = static_cast<size_t>(std::min<int64_t>(inputLeft, static_cast<int64_t>(chunk)));
            stream.ReadBuffer(input.get(), step);
            z.next_in = input.get();
            z.avail_in = static_cast<uInt>(step);
            inputLeft -= static_cast<int64_t>(step);
        }
        const int flush = inputLeft == 0 ? Z_FINISH : Z_NO_FLUSH;
        const uInt availableIn = z.avail_in;
        uint8_t spill;
        const bool full = written == static_cast<size_t>(count);
        z.next_out = full ? &spill : buffer + written;
        z.avail_out = full ? 1 : static_cast<uInt>(static_cast<size_t>(count) - written);
        const uInt availableOut = z.avail_out;
        const int code = inflate(&z, flush);
        if (code != Z_OK && code != Z_STREAM_END && code != Z_BUF_ERROR) RaiseZlibError(code);
        const size_t produced = availableOut - z.avail_out;
        if (full && produced > 0) throw EZlibDataError();  // content longer than its size
        written += produced;
        if (code == Z_STREAM_END) break;
        // No progress with all the input given: the payload ends before the zlib stream does.
        const bool stalled = produced == 0 && z.avail_in == availableIn;
        if (stalled && (flush == Z_FINISH || z.avail_in > 0)) RaiseZlibError(Z_BUF_ERROR);
    }
    // A payload is exactly packed size bytes; whatever follows the zlib stream is passed over.
    SkipBytes(stream, inputLeft, input.get(), chunk);
    if (written != static_cast<size_t>(count)) throw EZlibDataError();
    return static_cast<uint32_t>(z.adler);
}

void ReadBlockPayload(TStream& stream, const BlockHeader& header, uint8_t* buffer, int32_t count) {
    uint32_t check;
    if (header.PackedSize == kStoredBlock) {
        stream.ReadBuffer(buffer, static_cast<size_t>(count));
        check = Adler32Of(buffer, static_cast<size_t>(count));
    } else {
        check = InflatePayload(stream, header.PackedSize, buffer, count);
    }
    if (check != header.DataCheck) throw EZlibDataError();
}

}  // namespace

void TStream::ReadBuffer(void* buffer, size_t count) {
    auto* bytes = static_cast<uint8_t*>(buffer);
    while (count > 0) {
        const size_t got = Read(bytes, count);
        if (got == 0) throw EReadError();
        bytes += got;
        count -= got;
    }
}

void TStream::ReadBlock(void* buffer, int32_t count) {
    CheckContentSize(count);
    const BlockHeader header = ReadBlockHeader(*this, count);
    ReadBlockPayload(*this, header, static_cast<uint8_t*>(buffer), count);
}

std::vector<uint8_t> TStream::ReadBlockBytes(int32_t count) {
    CheckContentSize(count);
    const BlockHeader header = ReadBlockHeader(*this, count);
    std::vector<uint8_t> content(static_cast<size_t>(count));
    ReadBlockPayload(*this, header, content.data(), count);
    return content;
}

TMemoryStream::TMemoryStream(const void* data, size_t size) : data_(static_cast<const uint8_t*>(data)), size_(size) {}

TMemoryStream::TMemoryStream(const std::vector<uint8_t>& bytes) : TMemoryStream(bytes.data(), bytes.size()) {}

size_t TMemoryStream::Read(void* buffer, size_t count) {
    const size_t step = std::min(count, size_ - position_);
    if (step > 0) std::memcpy(buffer, data_ + position_, step);
    position_ += step;
    return step;
}

size_t TFileStream::Read(void* buffer, size_t count) {
    if (taken_ == buffered_) {
        taken_ = buffered_ = 0;
        if (count >= kFileBuffer) {
            const size_t got = ReadFromFile(buffer, count);
            position_ += static_cast<int64_t>(got);
            return got;
        }
        buffer_.resize(kFileBuffer);
        buffered_ = ReadFromFile(buffer_.data(), kFileBuffer);
    }
    const size_t step = std::min(count, buffered_ - taken_);
    if (step > 0) std::memcpy(buffer, buffer_.data() + taken_, step);
    taken_ += step;
    position_ += static_cast<int64_t>(step);
    return step;
}

#ifdef _WIN32

TFileStream::TFileStream(const std::string& fileName)
    : handle_(CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr)) {
    // GetFileSize, not GetFileSizeEx: Windows 95 has only the former.
    DWORD high = 0;
    const DWORD low = handle_ != INVALID_HANDLE_VALUE ? GetFileSize(handle_, &high) : INVALID_FILE_SIZE;
    if (low != INVALID_FILE_SIZE || (handle_ != INVALID_HANDLE_VALUE && GetLastError() == NO_ERROR)) {
        size_ = static_cast<int64_t>((static_cast<uint64_t>(high) << 32) | low);
        return;
    }
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    throw EFOpenError(fileName);
}

TFileStream::~TFileStream() { CloseHandle(handle_); }

size_t TFileStream::ReadFromFile(void* buffer, size_t count) {
    const DWORD step = static_cast<DWORD>(std::min<size_t>(count, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(handle_, buffer, step, &got, nullptr)) return 0;
    return got;
}

#else

namespace {
int Descriptor(void* handle) { return static_cast<int>(reinterpret_cast<intptr_t>(handle)); }
}  // namespace

TFileStream::TFileStream(const std::string& fileName)
    : handle_(reinterpret_cast<void*>(static_cast<intptr_t>(open(fileName.c_str(), O_RDONLY)))) {
    struct stat info;
    const int fd = Descriptor(handle_);
    if (fd >= 0 && fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        size_ = info.st_size;
        return;
    }
    if (fd >= 0) close(fd);
    throw EFOpenError(fileName);
}

TFileStream::~TFileStream() { close(Descriptor(handle_)); }

size_t TFileStream::ReadFromFile(void* buffer, size_t count) {
    const ssize_t got = read(Descriptor(handle_), buffer, std::min<size_t>(count, 1u << 30));
    return got > 0 ? static_cast<size_t>(got) : 0;
}

#endif
