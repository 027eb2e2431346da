#include "threemf_writer.h"

#include "plain_zip.h"

#include "export/mesh_numbering.h"

#include <Common/NMR_ErrorConst.h>
#include <Model/COM/NMR_DLLInterfaces.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// A lib3mf object, released when it goes.
class Handle {
public:
    Handle() = default;
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle()
    {
        if (object_)
            NMR::lib3mf_release(object_);
    }
    NMR::PLib3MFBase** out() { return &object_; }
    NMR::PLib3MFBase* get() const { return object_; }

private:
    NMR::PLib3MFBase* object_ = nullptr;
};

// Why lib3mf refused, as its last error on `object` says.
std::string lib3mfFailure(NMR::PLib3MFBase* object, int result)
{
    DWORD code = static_cast<DWORD>(result);
    LPCSTR message = nullptr;
    if (object)
        NMR::lib3mf_getlasterror(object, &code, &message);
    char text[64];
    std::snprintf(text, sizeof text, "erreur 0x%04X", static_cast<unsigned>(code));
    std::string reason = "lib3mf n'a pas pu composer le fichier 3MF (" + std::string(text);
    if (message && *message)
        reason += std::string(" : ") + message;
    return reason + ")";
}

// The archive as lib3mf writes it: in memory, where it goes back to a
// part's header once the part is compressed.
struct Archive {
    std::string bytes;
    std::size_t at = 0;
};

// lib3mf's stream callbacks: 0 is success.
std::uint32_t writeArchive(const unsigned char* data, std::uint32_t length, void* user)
{
    Archive& archive = *static_cast<Archive*>(user);
    if (archive.at + length > archive.bytes.size())
        archive.bytes.resize(archive.at + length);
    std::memcpy(archive.bytes.data() + archive.at, data, length);
    archive.at += length;
    return 0;
}

std::uint32_t seekArchive(std::uint64_t position, void* user)
{
    Archive& archive = *static_cast<Archive*>(user);
    if (position > archive.bytes.size())
        return 1;
    archive.at = static_cast<std::size_t>(position);
    return 0;
}

// lib3mf tells its stage and its percentage (or -1) between stages and
// every 100 000 points or triangles, and stops when told false.
bool keepWriting(int percent, NMR::ProgressIdentifier stage, void* user)
{
    LongWork& work = *static_cast<LongWork*>(user);
    if (percent >= 0 && percent <= 100)
        work.progress(stage == NMR::PROGRESS_WRITENODES       ? "points"
                      : stage == NMR::PROGRESS_WRITETRIANGLES ? "triangles"
                                                              : "",
                      percent / 100.0);
    return work.keepGoing();
}

// Two running sums of the mesh's bytes: the same mesh, the same UUIDs.
class ContentHash {
public:
    void add(const void* data, std::size_t length)
    {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < length; i += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, bytes + i, length - i < 8 ? length - i : 8);
            a_ = mix(a_ ^ word);
            b_ = mix(b_ + word + a_);
        }
    }
    // "xxxxxxxx-xxxx-8xxx-xxxx-xxxxxxxxxxxx", version 8 (made by the
    // program's own rule), one for each `role`.
    std::string uuid(std::uint64_t role) const
    {
        std::uint64_t high = mix(a_ + role), low = mix(b_ ^ (role << 32));
        high = (high & ~0xF000ull) | 0x8000ull;
        low = (low & ~(3ull << 62)) | (2ull << 62);
        char text[40];
        std::snprintf(text, sizeof text, "%08x-%04x-%04x-%04x-%012llx", unsigned(high >> 32),
                      unsigned((high >> 16) & 0xFFFF), unsigned(high & 0xFFFF), unsigned(low >> 48),
                      static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFull));
        return text;
    }

private:
    static std::uint64_t mix(std::uint64_t x)
    {
        x ^= x >> 30;
        x *= 0xBF58476D1CE4E5B9ull;
        x ^= x >> 27;
        x *= 0x94D049BB133111EBull;
        return x ^ (x >> 31);
    }
    std::uint64_t a_ = 0x9E3779B97F4A7C15ull, b_ = 0x2545F4914F6CDD1Dull;
};

// The mesh as lib3mf takes it, in single precision like the STL.
struct Lib3mfMesh {
    std::vector<NMR::MODELMESHVERTEX> vertices;
    std::vector<NMR::MODELMESHTRIANGLE> triangles;
};

Lib3mfMesh lib3mfMesh(const WholeMesh& mesh)
{
    const NumberedMesh numbered(mesh.grid, mesh.surface, mesh.options);
    Lib3mfMesh m;
    m.vertices.reserve(numbered.pointCount());
    m.triangles.reserve(numbered.triangleCount());
    numbered.forEachPoint([&m](const MeshPoint& p) {
        m.vertices.push_back({{static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)}});
    });
    numbered.forEachTriangle([&m](std::uint64_t a, std::uint64_t b, std::uint64_t c) {
        m.triangles.push_back({{static_cast<DWORD>(a), static_cast<DWORD>(b), static_cast<DWORD>(c)}});
    });
    return m;
}

// The model of one object in millimetres, its build item and the archive
// in memory; an empty text, or why lib3mf failed.
std::string writeModel(Lib3mfMesh mesh, bool solid, LongWork& work, Archive& archive, bool& abandoned)
{
    ContentHash hash;
    hash.add(mesh.vertices.data(), mesh.vertices.size() * sizeof mesh.vertices[0]);
    hash.add(mesh.triangles.data(), mesh.triangles.size() * sizeof mesh.triangles[0]);

    Handle model, object, item, writer;
    int result = NMR::lib3mf_createmodel(model.out());
    if (result != LIB3MF_OK)
        return lib3mfFailure(nullptr, result);
    const auto failed = [&](NMR::PLib3MFBase* on) { return result != LIB3MF_OK ? lib3mfFailure(on, result) : ""; };
    if ((result = NMR::lib3mf_model_setunit(model.get(), NMR::MODELUNIT_MILLIMETER)) != LIB3MF_OK ||
        (result = NMR::lib3mf_model_addmeshobject(model.get(), object.out())) != LIB3MF_OK)
        return failed(model.get());
    const DWORD type = solid ? NMR::MODELOBJECTTYPE_MODEL : NMR::MODELOBJECTTYPE_SURFACE;
    if ((result = NMR::lib3mf_object_setnameutf8(object.get(), "Relief")) != LIB3MF_OK ||
        (result = NMR::lib3mf_object_settype(object.get(), type)) != LIB3MF_OK ||
        (result = NMR::lib3mf_object_setuuidutf8(object.get(), hash.uuid(1).c_str())) != LIB3MF_OK ||
        // A selection without a cell: an object without a mesh, as the STL is a header alone.
        (!mesh.vertices.empty() && (result = NMR::lib3mf_meshobject_setgeometry(
             object.get(), mesh.vertices.data(), static_cast<DWORD>(mesh.vertices.size()),
             mesh.triangles.data(), static_cast<DWORD>(mesh.triangles.size()))) != LIB3MF_OK))
        return failed(object.get());
    mesh = {};  // lib3mf holds its own copy
    if ((result = NMR::lib3mf_model_setbuilduuidutf8(model.get(), hash.uuid(2).c_str())) != LIB3MF_OK ||
        (result = NMR::lib3mf_model_addbuilditem(model.get(), object.get(), nullptr, item.out())) != LIB3MF_OK)
        return failed(model.get());
    if ((result = NMR::lib3mf_builditem_setuuidutf8(item.get(), hash.uuid(3).c_str())) != LIB3MF_OK)
        return failed(item.get());
    if ((result = NMR::lib3mf_model_addmetadatautf8(model.get(), "Application", "Orvanel")) != LIB3MF_OK ||
        (result = NMR::lib3mf_model_querywriter(model.get(), "3mf", writer.out())) != LIB3MF_OK)
        return failed(model.get());
    if ((result = NMR::lib3mf_writer_setprogresscallback(writer.get(), keepWriting, &work)) != LIB3MF_OK)
        return failed(writer.get());
    work.start("Écriture du fichier 3MF…");
    result = NMR::lib3mf_writer_writetocallback(writer.get(), reinterpret_cast<void*>(writeArchive),
                                                reinterpret_cast<void*>(seekArchive), &archive);
    work.finish();
    if (result != LIB3MF_OK) {
        DWORD code = 0;
        NMR::lib3mf_getlasterror(writer.get(), &code, nullptr);
        abandoned = code == NMR_USERABORTED;
    }
    return failed(writer.get());
}

}  // namespace

FinishResult writeThreeMf(TextOutput& out, const WholeMesh& mesh, LongWork& work, std::string& failure)
{
    Archive archive;
    bool abandoned = false;
    failure = writeModel(lib3mfMesh(mesh), mesh.options.solid && mesh.grid.hasCells(), work, archive, abandoned);
    if (abandoned) {
        failure.clear();
        return FinishResult::Abandoned;
    }
    if (!failure.empty())
        return FinishResult::Failed;
    if (!writePlainZip(archive.bytes, [&out](std::string_view piece) { out.write(piece); })) {
        failure = "lib3mf a donné une archive 3MF illisible";
        return FinishResult::Failed;
    }
    return out.failed() ? FinishResult::Failed : FinishResult::Done;
}
