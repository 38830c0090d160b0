#include "backup/chunkcodec.h"

#include <zlib.h>

namespace vartemo {

ChunkDeflater::ChunkDeflater(int level) : stream_(std::make_unique<z_stream_s>()) {
    ready_ = deflateInit(stream_.get(), level) == Z_OK;
}

ChunkDeflater::~ChunkDeflater() {
    if (ready_)
        deflateEnd(stream_.get());
}

ChunkDeflater::Result ChunkDeflater::compress(const char* in, int n, char* out, int* outBytes) {
    if (!ready_ || n < 0 || n > kChunkBytes || deflateReset(stream_.get()) != Z_OK)
        return Result::Error;
    z_stream& s = *stream_;
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in));
    s.avail_in = uInt(n);
    s.next_out = reinterpret_cast<Bytef*>(out);
    s.avail_out = kChunkBytes;
    const int rc = deflate(&s, Z_FINISH);
    if (rc == Z_STREAM_END) {
        *outBytes = int(kChunkBytes - s.avail_out);
        return Result::Compressed;
    }
    // Out of room before the stream could end: the chunk goes in raw.
    if (rc == Z_OK || rc == Z_BUF_ERROR)
        return Result::TooLarge;
    return Result::Error;
}

ChunkInflater::ChunkInflater() : stream_(std::make_unique<z_stream_s>()) {
    ready_ = inflateInit(stream_.get()) == Z_OK;
}

ChunkInflater::~ChunkInflater() {
    if (ready_)
        inflateEnd(stream_.get());
}

bool ChunkInflater::inflate(const char* in, int n, char* out, int* outBytes) {
    if (!ready_ || n <= 0 || n > kChunkBytes || inflateReset(stream_.get()) != Z_OK)
        return false;
    z_stream& s = *stream_;
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in));
    s.avail_in = uInt(n);
    s.next_out = reinterpret_cast<Bytef*>(out);
    s.avail_out = kChunkBytes;
    if (::inflate(&s, Z_FINISH) != Z_STREAM_END || s.avail_in != 0)
        return false;
    *outBytes = int(kChunkBytes - s.avail_out);
    return true;
}

} // namespace vartemo
