#include "platform/codec/AvLibraries.h"

extern "C"
{
#include <libavcodec/version_major.h>
#include <libavutil/version.h>
#include <libswresample/version_major.h>
}

#include <dlfcn.h>

namespace platform::av
{

namespace
{

#define PAKEMINO_AV_STRING(x) #x
#define PAKEMINO_AV_SONAME(name, major) "lib" name ".so." PAKEMINO_AV_STRING(major)

// The sonames of the headers' major versions: another major has another ABI.
constexpr const char* AvcodecSoname = PAKEMINO_AV_SONAME("avcodec", LIBAVCODEC_VERSION_MAJOR);
constexpr const char* SwresampleSoname =
    PAKEMINO_AV_SONAME("swresample", LIBSWRESAMPLE_VERSION_MAJOR);
constexpr const char* AvutilSoname = PAKEMINO_AV_SONAME("avutil", LIBAVUTIL_VERSION_MAJOR);

template <typename Function> bool Find(void* library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

bool Load(AvLibraries& av)
{
    // Never closed: decoders may hold the libraries' static tables until exit.
    void* avutil = dlopen(AvutilSoname, RTLD_NOW | RTLD_LOCAL);
    void* swresample = dlopen(SwresampleSoname, RTLD_NOW | RTLD_LOCAL);
    void* avcodec = dlopen(AvcodecSoname, RTLD_NOW | RTLD_LOCAL);
    if (avutil == nullptr || swresample == nullptr || avcodec == nullptr)
    {
        return false;
    }
    return Find(avcodec, "avcodec_find_decoder", av.findDecoder) &&
           Find(avcodec, "avcodec_alloc_context3", av.allocContext) &&
           Find(avcodec, "avcodec_free_context", av.freeContext) &&
           Find(avcodec, "avcodec_open2", av.open) &&
           Find(avcodec, "avcodec_send_packet", av.sendPacket) &&
           Find(avcodec, "avcodec_receive_frame", av.receiveFrame) &&
           Find(avcodec, "av_packet_alloc", av.packetAlloc) &&
           Find(avcodec, "av_packet_free", av.packetFree) &&
           Find(avutil, "av_frame_alloc", av.frameAlloc) &&
           Find(avutil, "av_frame_free", av.frameFree) &&
           Find(avutil, "av_frame_unref", av.frameUnref) &&
           Find(avutil, "av_mallocz", av.mallocz) &&
           Find(avutil, "av_log_set_level", av.logSetLevel) &&
           Find(avutil, "av_channel_layout_default", av.channelLayoutDefault) &&
           Find(avutil, "av_channel_layout_uninit", av.channelLayoutUninit) &&
           Find(swresample, "swr_alloc_set_opts2", av.swrAllocSetOpts2) &&
           Find(swresample, "swr_init", av.swrInit) && Find(swresample, "swr_free", av.swrFree) &&
           Find(swresample, "swr_get_out_samples", av.swrGetOutSamples) &&
           Find(swresample, "swr_convert", av.swrConvert);
}

} // namespace

const AvLibraries* LoadAvLibraries()
{
    static const AvLibraries* const loaded = []() -> const AvLibraries*
    {
        static AvLibraries av{};
        if (!Load(av))
        {
            return nullptr;
        }
        // The compression manager reports by results only; damaged data is no message.
        av.logSetLevel(AV_LOG_QUIET);
        return &av;
    }();
    return loaded;
}

} // namespace platform::av
