// Byte streams and the checksummed block of the region-data file.
//
// A block is a 16-byte header (Adler-32 of the next 12 bytes, packed size,
// size, Adler-32 of the content) and a payload: one zlib stream of packed size
// bytes, or, when packed size is -1, the content itself. Nothing here knows
// windows, so the reader also builds natively for fuzzing.
#pragma once

#include "region_errors.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// No block content, picture or outline may be larger than this.
constexpr int32_t kMaxBlockContent = 64 * 1024 * 1024;
// Deflate cannot expand one byte of payload to more than 1032 bytes of content.
constexpr int64_t kMaxInflateRatio = 1032;
// The packed size of a block stored without compression.
constexpr int32_t kStoredBlock = -1;
// The largest piece of a payload the inflater is given at once.
constexpr size_t kInflateChunk = 65536;

class TStream {
public:
    virtual ~TStream() = default;
    // Reads up to count bytes; returns how many were read (0 at the end).
    virtual size_t Read(void* buffer, size_t count) = 0;
    virtual int64_t Size() const = 0;
    virtual int64_t Position() const = 0;

    int64_t Remaining() const { return Size() - Position(); }
    // Reads exactly count bytes or fails with EReadError.
    void ReadBuffer(void* buffer, size_t count);
    // Reads one block whose content must be exactly count bytes into buffer.
    void ReadBlock(void* buffer, int32_t count);
    // The same into a vector sized only after the block header has been checked.
    std::vector<uint8_t> ReadBlockBytes(int32_t count);
};

// A stream over bytes the caller keeps alive.
class TMemoryStream : public TStream {
public:
    TMemoryStream(const void* data, size_t size);
    explicit TMemoryStream(const std::vector<uint8_t>& bytes);
    size_t Read(void* buffer, size_t count) override;
    int64_t Size() const override { return static_cast<int64_t>(size_); }
    int64_t Position() const override { return static_cast<int64_t>(position_); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

// A file opened for reading, other writers denied; EFOpenError when it cannot be.
// Small reads are served from a buffer of kFileBuffer bytes.
class TFileStream : public TStream {
public:
    explicit TFileStream(const std::string& fileName);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;
    size_t Read(void* buffer, size_t count) override;
    int64_t Size() const override { return size_; }
    int64_t Position() const override { return position_; }

    static constexpr size_t kFileBuffer = 65536;

private:
    size_t ReadFromFile(void* buffer, size_t count);

    void* handle_;  // a Win32 file handle, or a POSIX descriptor cast
    int64_t size_ = 0;
    int64_t position_ = 0;
    std::vector<uint8_t> buffer_;
    size_t buffered_ = 0;  // bytes in buffer_
    size_t taken_ = 0;     // of which already read
};

// The region-data file's stream: a file stream that reads checksummed blocks.
class TZStream : public TFileStream {
public:
    using TFileStream::TFileStream;
};
