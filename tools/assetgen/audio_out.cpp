#include "audio_out.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vorbis/vorbisenc.h>

namespace {

void put16(FILE* f, uint16_t v) {
    unsigned char b[2] = {uint8_t(v), uint8_t(v >> 8)};
    std::fwrite(b, 1, 2, f);
}

void put32(FILE* f, uint32_t v) {
    put16(f, uint16_t(v));
    put16(f, uint16_t(v >> 16));
}

int16_t pcm(float v) {
    float s = std::round(v * 32767.0f);
    return int16_t(s > 32767 ? 32767 : (s < -32768 ? -32768 : s));
}

bool writePages(FILE* f, ogg_stream_state& os, bool flush) {
    ogg_page page;
    while (flush ? ogg_stream_flush(&os, &page) : ogg_stream_pageout(&os, &page)) {
        if (std::fwrite(page.header, 1, size_t(page.header_len), f) != size_t(page.header_len) ||
            std::fwrite(page.body, 1, size_t(page.body_len), f) != size_t(page.body_len))
            return false;
    }
    return true;
}

}  // namespace

bool writeWav(const std::string& path, const std::vector<float>& mono) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    uint32_t bytes = uint32_t(mono.size() * 2);
    std::fwrite("RIFF", 1, 4, f);
    put32(f, 36 + bytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    put32(f, 16);
    put16(f, 1);  // PCM
    put16(f, 1);  // mono
    put32(f, SAMPLE_RATE);
    put32(f, SAMPLE_RATE * 2);
    put16(f, 2);
    put16(f, 16);
    std::fwrite("data", 1, 4, f);
    put32(f, bytes);
    for (float v : mono) put16(f, uint16_t(pcm(v)));
    return std::fclose(f) == 0;
}

bool writeOgg(const std::string& path, const std::vector<float>& stereo, float quality) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, 2, SAMPLE_RATE, quality) != 0) {
        vorbis_info_clear(&vi);
        std::fclose(f);
        return false;
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_comment_add_tag(&vc, "TITLE", "Blastavia");
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 0x424C4153);  // fixed serial: reproducible files

    ogg_packet id, comments, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &id, &comments, &codebooks);
    ogg_stream_packetin(&os, &id);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codebooks);
    bool ok = writePages(f, os, true);

    const size_t frames = stereo.size() / 2;
    const size_t chunk = 1024;
    for (size_t at = 0; ok; at += chunk) {
        size_t n = at < frames ? std::min(chunk, frames - at) : 0;
        if (n > 0) {
            float** in = vorbis_analysis_buffer(&vd, int(n));
            for (size_t i = 0; i < n; ++i) {
                in[0][i] = stereo[2 * (at + i)];
                in[1][i] = stereo[2 * (at + i) + 1];
            }
        }
        vorbis_analysis_wrote(&vd, int(n));  // 0 marks the end of the stream
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                ok = ok && writePages(f, os, false);
            }
        }
        if (n == 0) break;
    }
    ok = ok && writePages(f, os, true);
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return std::fclose(f) == 0 && ok;
}
