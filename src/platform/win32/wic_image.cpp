// decode_png on the system's imaging component (WIC): the PNG decoder of the system, the frame
// converted to 32-bit BGRA with straight alpha (available on every version of the component),
// then turned into RGBA.
#include <objbase.h>

#include <wincodec.h>

#include <cstring>

#include "code_page_api.h"
#include "platform/image.h"

namespace quavik {

namespace {

// The eight bytes every PNG file starts with.
constexpr std::uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Larger pictures are refused rather than decoded: the label picture is 256 × 256.
constexpr UINT kMaxSide = 8192;

// Holds one COM reference.
template <typename Interface>
class Com {
  public:
    Com() = default;
    ~Com() {
        if (pointer_ != nullptr) {
            pointer_->Release();
        }
    }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    Interface** out() { return &pointer_; }
    Interface* operator->() const { return pointer_; }
    Interface* get() const { return pointer_; }

  private:
    Interface* pointer_ = nullptr;
};

// COM for this thread for the length of one decode, unless the thread already has it.
class ComScope {
  public:
    ComScope() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope() {
        if (initialised_) {
            CoUninitialize();
        }
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

  private:
    bool initialised_;
};

std::optional<RgbaImage> decode_with_wic(std::span<const std::uint8_t> bytes) {
    Com<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(factory.out())))) {
        return std::nullopt;
    }
    Com<IWICStream> stream;
    if (FAILED(factory->CreateStream(stream.out())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()),
                                            static_cast<DWORD>(bytes.size())))) {
        return std::nullopt;
    }
    Com<IWICBitmapDecoder> decoder;
    GUID container{};
    if (FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, decoder.out())) ||
        FAILED(decoder->GetContainerFormat(&container)) ||
        !IsEqualGUID(container, GUID_ContainerFormatPng)) {
        return std::nullopt;
    }
    Com<IWICBitmapFrameDecode> frame;
    UINT width = 0;
    UINT height = 0;
    if (FAILED(decoder->GetFrame(0, frame.out())) || FAILED(frame->GetSize(&width, &height)) ||
        width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) {
        return std::nullopt;
    }
    Com<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.out())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA,
                                     WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom))) {
        return std::nullopt;
    }
    RgbaImage image{static_cast<int>(width), static_cast<int>(height),
                    std::vector<std::uint8_t>(std::size_t{width} * height * 4)};
    if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(image.pixels.size()),
                                     image.pixels.data()))) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
        std::swap(image.pixels[i], image.pixels[i + 2]);  // BGRA to RGBA
    }
    return image;
}

}  // namespace

std::optional<RgbaImage> decode_png(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < sizeof kPngSignature || bytes.size() > 0x7FFFFFFF ||
        std::memcmp(bytes.data(), kPngSignature, sizeof kPngSignature) != 0) {
        return std::nullopt;
    }
    const ComScope com;
    return decode_with_wic(bytes);
}

}  // namespace quavik
