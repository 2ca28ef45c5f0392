#include "PngWriter.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <zlib.h>

namespace media {

namespace {

void put_u32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 24));
    out.push_back(static_cast<std::uint8_t>(value >> 16));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

void put_chunk(std::vector<std::uint8_t>& out, const char* type,
               const std::vector<std::uint8_t>& body) {
    put_u32(out, static_cast<std::uint32_t>(body.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    const uLong crc = crc32(0L, out.data() + start, static_cast<uInt>(out.size() - start));
    put_u32(out, static_cast<std::uint32_t>(crc));
}

int paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) {
        return a;
    }
    return pb <= pc ? b : c;
}

// Filters one row with each PNG filter and keeps the one with the smallest sum of magnitudes,
// the usual heuristic that lets deflate find the most repetition.
void filter_row(const std::uint8_t* row, const std::uint8_t* above, size_t bytes, int bpp,
                std::uint8_t* out) {
    std::vector<std::uint8_t> trial(bytes);
    long best_sum = -1;
    for (int type = 0; type < 5; ++type) {
        long sum = 0;
        for (size_t i = 0; i < bytes; ++i) {
            const int a = i >= static_cast<size_t>(bpp) ? row[i - bpp] : 0;
            const int b = above ? above[i] : 0;
            const int c = (above && i >= static_cast<size_t>(bpp)) ? above[i - bpp] : 0;
            int predicted = 0;
            switch (type) {
            case 1:
                predicted = a;
                break;
            case 2:
                predicted = b;
                break;
            case 3:
                predicted = (a + b) / 2;
                break;
            case 4:
                predicted = paeth(a, b, c);
                break;
            default:
                break;
            }
            const auto value = static_cast<std::uint8_t>(row[i] - predicted);
            trial[i] = value;
            sum += value < 128 ? value : 256 - value;
        }
        if (best_sum < 0 || sum < best_sum) {
            best_sum = sum;
            out[0] = static_cast<std::uint8_t>(type);
            std::copy(trial.begin(), trial.end(), out + 1);
        }
    }
}

} // namespace

void PngWriter::write(const std::string& path, int width, int height, int channels,
                      const std::vector<std::uint8_t>& pixels) const {
    const size_t row_bytes = static_cast<size_t>(width) * channels;
    std::vector<std::uint8_t> filtered(static_cast<size_t>(height) * (row_bytes + 1));
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = pixels.data() + y * row_bytes;
        filter_row(row, y > 0 ? row - row_bytes : nullptr, row_bytes, channels,
                   filtered.data() + y * (row_bytes + 1));
    }

    uLongf packed_size = compressBound(static_cast<uLong>(filtered.size()));
    std::vector<std::uint8_t> packed(packed_size);
    if (compress2(packed.data(), &packed_size, filtered.data(), static_cast<uLong>(filtered.size()),
                  m_level) != Z_OK) {
        throw std::runtime_error("cannot compress " + path);
    }
    packed.resize(packed_size);

    std::vector<std::uint8_t> header;
    put_u32(header, static_cast<std::uint32_t>(width));
    put_u32(header, static_cast<std::uint32_t>(height));
    header.push_back(8);
    header.push_back(channels == 4 ? 6 : 2);
    header.push_back(0);
    header.push_back(0);
    header.push_back(0);

    std::vector<std::uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    put_chunk(file, "IHDR", header);
    put_chunk(file, "IDAT", packed);
    put_chunk(file, "IEND", {});

    std::ofstream stream(path, std::ios::binary);
    stream.write(reinterpret_cast<const char*>(file.data()),
                 static_cast<std::streamsize>(file.size()));
    if (!stream) {
        throw std::runtime_error("cannot write " + path);
    }
}

} // namespace media
