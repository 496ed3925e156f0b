#pragma once
// Writes a small Ogg Vorbis file of a sine tone for the music tests.
#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

namespace soundtest {

inline bool WriteOggTone(const std::filesystem::path& path, int channels, long rate, double seconds,
                         double frequency, float amplitude)
{
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channels, rate, 0.5f) != 0) {
        std::fclose(out);
        return false;
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block vb;
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 1);
    ogg_packet header, comment, code;
    vorbis_analysis_headerout(&vd, &vc, &header, &comment, &code);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comment);
    ogg_stream_packetin(&os, &code);
    ogg_page page;
    while (ogg_stream_flush(&os, &page)) {
        std::fwrite(page.header, 1, page.header_len, out);
        std::fwrite(page.body, 1, page.body_len, out);
    }
    const long total = static_cast<long>(seconds * rate);
    long done = 0;
    bool eos = false;
    while (!eos) {
        const long n = std::min(1024L, total - done);
        if (n > 0) {
            float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
            for (long i = 0; i < n; ++i) {
                const float v = amplitude *
                                static_cast<float>(std::sin(2.0 * M_PI * frequency * (done + i) / rate));
                for (int c = 0; c < channels; ++c) buffer[c][i] = v;
            }
            vorbis_analysis_wrote(&vd, static_cast<int>(n));
            done += n;
        } else {
            vorbis_analysis_wrote(&vd, 0);
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page)) {
                    std::fwrite(page.header, 1, page.header_len, out);
                    std::fwrite(page.body, 1, page.body_len, out);
                    if (ogg_page_eos(&page)) eos = true;
                }
            }
        }
        if (n <= 0 && !eos) {
            while (ogg_stream_flush(&os, &page)) {
                std::fwrite(page.header, 1, page.header_len, out);
                std::fwrite(page.body, 1, page.body_len, out);
                if (ogg_page_eos(&page)) eos = true;
            }
            eos = true;
        }
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return std::fclose(out) == 0;
}

}  // namespace soundtest
