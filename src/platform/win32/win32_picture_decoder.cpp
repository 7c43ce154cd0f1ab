// win32_picture_decoder.cpp: WIC over a memory stream; the first frame is
// converted to 32-bit BGRA, which read as little-endian words is 0xAARRGGBB.
// Measured under Wine 8: GIF transparency comes through as alpha 0, and
// garbage gives WINCODEC_ERR_COMPONENTNOTFOUND.
#include "platform/win32/win32_picture_decoder.h"

#include <objbase.h>
#include <wincodec.h>

#include <cstring>
#include <limits>

namespace mj::platform::win32 {
namespace {

template <class T>
struct ComPtr {
    T* p = nullptr;
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (p) p->Release();
    }
    T** out() { return &p; }
    T* operator->() const { return p; }
};

DecodedPicture failure(PictureError e) { return DecodedPicture{nullptr, e}; }

}  // namespace

Win32PictureDecoder::Win32PictureDecoder() {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    comJoined_ = SUCCEEDED(hr);  // S_FALSE (already joined) must be balanced too
}

Win32PictureDecoder::~Win32PictureDecoder() {
    if (comJoined_) CoUninitialize();
}

DecodedPicture Win32PictureDecoder::decode(std::string_view bytes) const {
    if (bytes.empty()) return failure(PictureError::Empty);
    if (sniffPicture(bytes) == PictureKind::Unknown) return failure(PictureError::Unrecognised);
    if (bytes.size() > std::numeric_limits<DWORD>::max()) return failure(PictureError::TooLarge);

    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(factory.out()))))
        return failure(PictureError::System);
    ComPtr<IWICStream> stream;
    if (FAILED(factory->CreateStream(stream.out()))) return failure(PictureError::System);
    // The stream reads the caller's bytes in place; they outlive this call.
    if (FAILED(stream->InitializeFromMemory(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())),
                                            static_cast<DWORD>(bytes.size()))))
        return failure(PictureError::System);
    ComPtr<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnDemand, decoder.out())))
        return failure(PictureError::Corrupt);
    ComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.out()))) return failure(PictureError::Corrupt);
    UINT width = 0, height = 0;
    if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0) return failure(PictureError::Corrupt);
    if (width > static_cast<UINT>(MaxPictureSide) || height > static_cast<UINT>(MaxPictureSide))
        return failure(PictureError::TooLarge);
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.out()))) return failure(PictureError::System);
    if (FAILED(converter->Initialize(frame.p, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return failure(PictureError::Corrupt);

    auto picture = std::make_shared<ui::Picture>();
    picture->width = static_cast<int>(width);
    picture->height = static_cast<int>(height);
    picture->pixels.resize(static_cast<std::size_t>(width) * height);
    const UINT stride = width * 4;
    if (FAILED(
            converter->CopyPixels(nullptr, stride, stride * height, reinterpret_cast<BYTE*>(picture->pixels.data()))))
        return failure(PictureError::Corrupt);
    return DecodedPicture{std::move(picture), PictureError::None};
}

}  // namespace mj::platform::win32
