#include "gfxutil/mesh/D3DX9Mesh.h"
#include "platform/os/ComObject.h"

#include <new>
#include <vector>

namespace {

// A block of memory handed out by reference, such as a mesh's adjacency.
class MemoryBuffer : public ComObject<ID3DXBuffer> {
public:
    explicit MemoryBuffer(DWORD size) : bytes_(size, 0) {}

    HRESULT QueryInterface(REFIID riid, void** object) override {
        if (!object)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_ID3DXBuffer) {
            *object = static_cast<ID3DXBuffer*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    void* GetBufferPointer() override { return bytes_.data(); }
    DWORD GetBufferSize() override { return DWORD(bytes_.size()); }

private:
    std::vector<BYTE> bytes_;
};

} // namespace

HRESULT D3DXCreateBuffer(DWORD size, ID3DXBuffer** buffer) {
    if (!buffer)
        return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    try {
        *buffer = new MemoryBuffer(size);
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
