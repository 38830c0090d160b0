#pragma once

#include <QtGlobal>
#include <memory>

struct z_stream_s;

namespace vartemo {

// The archive keeps every file in chunks of at most 16384 bytes, each one a
// complete zlib stream of its own or, when zlib cannot fit it into 16384
// bytes, the bytes as they are. One stream object is kept and reset per
// chunk; the bytes are those a fresh stream of the same level gives.
inline constexpr int kChunkBytes = 16384;

class ChunkDeflater {
public:
    // level: zlib's 0..9 or Z_DEFAULT_COMPRESSION.
    explicit ChunkDeflater(int level);
    ~ChunkDeflater();
    ChunkDeflater(const ChunkDeflater&) = delete;
    ChunkDeflater& operator=(const ChunkDeflater&) = delete;

    enum class Result { Compressed, TooLarge, Error };
    // Compresses n <= kChunkBytes bytes into out (kChunkBytes bytes) in one
    // finished stream; *outBytes is its length when Compressed.
    Result compress(const char* in, int n, char* out, int* outBytes);

private:
    std::unique_ptr<z_stream_s> stream_;
    bool ready_ = false;
};

class ChunkInflater {
public:
    ChunkInflater();
    ~ChunkInflater();
    ChunkInflater(const ChunkInflater&) = delete;
    ChunkInflater& operator=(const ChunkInflater&) = delete;

    // Inflates one stream of n bytes into out (kChunkBytes bytes). False
    // unless the stream is sound, ends exactly at its last byte and its
    // output fits into kChunkBytes.
    bool inflate(const char* in, int n, char* out, int* outBytes);

private:
    std::unique_ptr<z_stream_s> stream_;
    bool ready_ = false;
};

} // namespace vartemo
