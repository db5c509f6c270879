#include "model/3dsload.h"

#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/data_file.h"


namespace {

constexpr uint16_t ChunkEditorData = 0x3D3D;
constexpr uint16_t ChunkNamedObject = 0x4000;
constexpr uint16_t ChunkTriObject = 0x4100;
constexpr uint16_t ChunkPointArray = 0x4110;
constexpr uint16_t ChunkFaceArray = 0x4120;
constexpr uint16_t ChunkMaterialGroup = 0x4130;
constexpr uint16_t ChunkTexVerts = 0x4140;

constexpr int ChunkHeaderBytes = 6;
constexpr int ObjectNameBytes = 31;     // longer object names are cut and never match
constexpr int MaterialNameBytes = 19;   // longer material names are cut

// One walk: the source, the object asked for, and the result arrays this walk has made.
// Only those arrays are ever written or freed, never whatever the caller's record held.
struct Walk3ds {
    ChunkFile* file;
    const char* sourceName;
    const char* objectName;
    TriMeshData* result;
    float* ownPositions;
    float* ownTextureCoordinates;
    int32_t* ownFaces;
    int32_t textureCapacity;   // entries of ownTextureCoordinates
    int32_t faceCapacity;      // faces of ownFaces
    bool trace;                // chunk headers and object names to standard output
    bool foundMesh;
    bool outOfMemory;          // an array could not be had; the walk stops
};

// Writes one line about damaged data on standard error.
void ReportDamage(const Walk3ds* walk, const char* format, ...)
{
    std::fprintf(stderr, "Model %s: ", walk->sourceName);
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
}

// Reads n bytes; those past the end of the data read as zero. The count always advances.
void ReadBytes(ChunkFile* file, uint8_t* out, int n)
{
    int got = 0;
    if (!file->exhausted && file->count < file->size) {
        int64_t available = file->size - file->count;
        int want = available < n ? static_cast<int>(available) : n;
        if (file->file) {
            got = static_cast<int>(std::fread(out, 1, static_cast<size_t>(want), file->file));
        } else if (want > 0) {
            std::memcpy(out, file->data + file->count, static_cast<size_t>(want));
            got = want;
        }
    }
    if (got < n) {
        std::memset(out + got, 0, static_cast<size_t>(n - got));
        file->exhausted = true;
    }
    file->count += n;
}

uint8_t ReadByte(ChunkFile* file)
{
    uint8_t b;
    ReadBytes(file, &b, 1);
    return b;
}

uint16_t ReadWord(ChunkFile* file)
{
    uint8_t b[2];
    ReadBytes(file, b, 2);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

uint32_t ReadDword(ChunkFile* file)
{
    uint8_t b[4];
    ReadBytes(file, b, 4);
    return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
           (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

float ReadFloat(ChunkFile* file)
{
    uint32_t bits = ReadDword(file);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// True while the chunk has unread content and the data has not run out.
bool HasMoreContent(const ChunkHeader& chunk)
{
    return !chunk.file->exhausted && chunk.file->count < chunk.endPosition;
}

// Moves the count to the chunk's end; nothing happens if it is already there or beyond.
void SkipToChunkEnd(const ChunkHeader& chunk)
{
    ChunkFile* file = chunk.file;
    if (file->count >= chunk.endPosition) return;
    int64_t distance = chunk.endPosition - file->count;
    if (!file->exhausted) {
        if (!file->file) {
            if (chunk.endPosition > file->size) file->exhausted = true;
        } else if (std::fseek(file->file, static_cast<long>(distance), SEEK_CUR) != 0) {
            // Not seekable: read through, stopping at the end of the data.
            uint8_t scratch[4096];
            while (file->count < chunk.endPosition && !file->exhausted) {
                int64_t left = chunk.endPosition - file->count;
                ReadBytes(file, scratch, left < 4096 ? static_cast<int>(left) : 4096);
            }
        }
    }
    file->count = chunk.endPosition;
}

// Reads the header of a chunk that starts at the current count inside a parent ending at
// parentEnd, traces it, and bounds its end by the parent's. Returns false, reading
// nothing, when fewer than 6 bytes of the parent are left.
bool ReadChunkHeader(Walk3ds* walk, int level, int64_t parentEnd, ChunkHeader* chunk)
{
    if (walk->outOfMemory) return false;   // no further chunk once memory has run out
    ChunkFile* file = walk->file;
    int64_t start = file->count;
    if (parentEnd - start < ChunkHeaderBytes) {
        ReportDamage(walk, "no room for a chunk header at byte %lld (%lld bytes left)",
                     static_cast<long long>(start), static_cast<long long>(parentEnd - start));
        return false;
    }
    chunk->file = file;
    chunk->id = ReadWord(file);
    // Signed, as the format stores it: a length of 2 GiB or more ends before it starts.
    chunk->length = static_cast<int32_t>(ReadDword(file));
    unsigned id = chunk->id;
    int64_t declaredEnd = file->count + chunk->length - ChunkHeaderBytes;
    if (walk->trace) {
        // The trace shows the end as the 32-bit value the format counts in.
        int32_t shownEnd = static_cast<int32_t>(static_cast<uint32_t>(declaredEnd));
        std::printf("%*sCHUNK: id:%x length:%i endpos:%i\n", level, "", id, chunk->length,
                    shownEnd);
    }
    chunk->endPosition = declaredEnd;
    if (declaredEnd > parentEnd) {
        ReportDamage(walk, "chunk %x at byte %lld ends at %lld, past the end %lld of its %s; cut short",
                     id, static_cast<long long>(start), static_cast<long long>(declaredEnd),
                     static_cast<long long>(parentEnd), level == 0 ? "data" : "parent");
        chunk->endPosition = parentEnd;
    }
    return true;
}

// Reads a zero-terminated name bounded by the chunk's end. Keeps the first capacity bytes
// in out (which has room for capacity + 1) and reads the rest of the name to discard it.
// Returns false when the name did not fit.
bool ReadName(Walk3ds* walk, const ChunkHeader& chunk, char* out, int capacity)
{
    int stored = 0;
    bool fits = true;
    bool terminated = false;
    while (HasMoreContent(chunk)) {
        uint8_t c = ReadByte(walk->file);
        if (c == 0) {
            terminated = true;
            break;
        }
        if (stored < capacity) out[stored++] = static_cast<char>(c);
        else fits = false;
    }
    out[stored] = '\0';
    if (!terminated) ReportDamage(walk, "name \"%s\" in chunk %x has no terminator", out,
                                  static_cast<unsigned>(chunk.id));
    return fits;
}

// Reads a 16-bit entry count and cuts it to the entries of entryBytes that the rest of
// the chunk can hold; a chunk without room for the count yields 0 and reads nothing.
int32_t ReadCount(Walk3ds* walk, const ChunkHeader& chunk, int entryBytes)
{
    ChunkFile* file = walk->file;
    if (chunk.endPosition - file->count < 2) {
        ReportDamage(walk, "chunk %x has no room for its count",
                     static_cast<unsigned>(chunk.id));
        return 0;
    }
    int32_t declared = ReadWord(file);
    int64_t fit = (chunk.endPosition - file->count) / entryBytes;
    if (declared > fit) {
        ReportDamage(walk, "chunk %x declares %d entries, only %lld fit",
                     static_cast<unsigned>(chunk.id), declared,
                     static_cast<long long>(fit));
        return static_cast<int32_t>(fit);
    }
    return declared;
}

// Zeroed array of count elements (at least one, so a null pointer always means "none").
// Null when memory runs out; the walk then stops and says so to its caller.
template <typename T>
T* AllocateArray(Walk3ds* walk, int32_t count)
{
    void* p = std::calloc(count > 0 ? static_cast<size_t>(count) : 1, sizeof(T));
    if (!p) walk->outOfMemory = true;
    return static_cast<T*>(p);
}

// POINT_ARRAY: positions with Y and Z exchanged; texture coordinates reset to (0, 0).
void ReadPointArray(Walk3ds* walk, const ChunkHeader& chunk)
{
    int32_t n = ReadCount(walk, chunk, 12);
    float* positions = AllocateArray<float>(walk, n * 3);
    float* texture = AllocateArray<float>(walk, n * 2);
    if (!positions || !texture) {
        std::free(positions);
        std::free(texture);
        return;
    }
    for (int32_t i = 0; i < n; i++) {
        float x = ReadFloat(walk->file);
        float y = ReadFloat(walk->file);
        float z = ReadFloat(walk->file);
        positions[3 * i] = x;
        positions[3 * i + 1] = z;
        positions[3 * i + 2] = y;
    }
    // A later point list replaces an earlier one of the same walk.
    std::free(walk->ownPositions);
    std::free(walk->ownTextureCoordinates);
    walk->ownPositions = positions;
    walk->ownTextureCoordinates = texture;
    walk->textureCapacity = n;

    TriMeshData* result = walk->result;
    result->positions = positions;
    result->textureCoordinates = texture;
    result->vertexCount = n;
    if (result->textureCoordinateCount > n) result->textureCoordinateCount = n;
}

// MSH_MAT_GROUP: the material name and its face list. Only the fourth face value is
// touched (set to 0, as it already is); indices outside the face list are ignored.
void ReadMaterialGroup(Walk3ds* walk, const ChunkHeader& chunk)
{
    char name[MaterialNameBytes + 1];
    ReadName(walk, chunk, name, MaterialNameBytes);
    int32_t n = ReadCount(walk, chunk, 2);
    int32_t outside = 0;
    for (int32_t i = 0; i < n; i++) {
        uint16_t face = ReadWord(walk->file);
        if (walk->ownFaces && face < walk->faceCapacity) walk->ownFaces[4 * face + 3] = 0;
        else outside++;
    }
    if (outside > 0)
        ReportDamage(walk, "material group \"%s\" lists %d faces beyond the face count %d; ignored",
                     name, outside, walk->faceCapacity);
}

// FACE_ARRAY: faces (a, b, c, 0) with the flags discarded, then its sub-chunks.
void ReadFaceArray(Walk3ds* walk, const ChunkHeader& chunk)
{
    int32_t n = ReadCount(walk, chunk, 8);
    int32_t* faces = AllocateArray<int32_t>(walk, n * 4);
    if (!faces) return;
    for (int32_t i = 0; i < n; i++) {
        faces[4 * i] = ReadWord(walk->file);
        faces[4 * i + 1] = ReadWord(walk->file);
        faces[4 * i + 2] = ReadWord(walk->file);
        ReadWord(walk->file);   // edge visibility and wrap flags, not used
        faces[4 * i + 3] = 0;
    }
    std::free(walk->ownFaces);
    walk->ownFaces = faces;
    walk->faceCapacity = n;
    walk->result->faces = faces;
    walk->result->faceCount = n;

    while (HasMoreContent(chunk)) {
        ChunkHeader child;
        if (!ReadChunkHeader(walk, 5, chunk.endPosition, &child)) break;
        if (child.id == ChunkMaterialGroup) ReadMaterialGroup(walk, child);
        SkipToChunkEnd(child);
    }
}

// TEX_VERTS: (u, -v) per vertex, stored only into the point list's own array and only as
// far as it reaches.
void ReadTexVerts(Walk3ds* walk, const ChunkHeader& chunk)
{
    int32_t n = ReadCount(walk, chunk, 8);
    float* texture = walk->ownTextureCoordinates;
    int32_t stored = n < walk->textureCapacity ? n : walk->textureCapacity;
    for (int32_t i = 0; i < stored; i++) {
        float u = ReadFloat(walk->file);
        float v = ReadFloat(walk->file);
        texture[2 * i] = u;
        texture[2 * i + 1] = -v;
    }
    if (stored < n)
        ReportDamage(walk, "%d texture coordinates for %d vertices; the rest ignored", n,
                     walk->textureCapacity);
    walk->result->textureCoordinateCount = stored;
}

void WalkTriObject(Walk3ds* walk, const ChunkHeader& object)
{
    walk->foundMesh = true;
    while (HasMoreContent(object)) {
        ChunkHeader chunk;
        if (!ReadChunkHeader(walk, 4, object.endPosition, &chunk)) break;
        switch (chunk.id) {
        case ChunkPointArray: ReadPointArray(walk, chunk); break;
        case ChunkFaceArray: ReadFaceArray(walk, chunk); break;
        case ChunkTexVerts: ReadTexVerts(walk, chunk); break;
        default: break;
        }
        SkipToChunkEnd(chunk);
    }
}

void WalkNamedObject(Walk3ds* walk, const ChunkHeader& object)
{
    char name[ObjectNameBytes + 1];
    bool fits = ReadName(walk, object, name, ObjectNameBytes);
    if (walk->trace) std::printf("%s\n", name);
    if (!fits || std::strcmp(name, walk->objectName) != 0) return;
    while (HasMoreContent(object)) {
        ChunkHeader chunk;
        if (!ReadChunkHeader(walk, 3, object.endPosition, &chunk)) break;
        if (chunk.id == ChunkTriObject) WalkTriObject(walk, chunk);
        SkipToChunkEnd(chunk);
    }
}

void WalkEditorData(Walk3ds* walk, const ChunkHeader& editor)
{
    while (HasMoreContent(editor)) {
        ChunkHeader chunk;
        if (!ReadChunkHeader(walk, 2, editor.endPosition, &chunk)) break;
        if (chunk.id == ChunkNamedObject) WalkNamedObject(walk, chunk);
        SkipToChunkEnd(chunk);
    }
}

// The one walk over either byte source. Later matching objects overwrite earlier ones.
ModelRead WalkFile(ChunkFile* file, const char* sourceName, TriMeshData* result, const char* objectName,
                   ChunkTrace trace)
{
    Walk3ds walk{};
    walk.trace = trace == ChunkTrace::Shown;
    walk.file = file;
    walk.sourceName = sourceName;
    walk.objectName = objectName;
    walk.result = result;

    ChunkHeader main;
    if (ReadChunkHeader(&walk, 0, file->size, &main)) {
        while (HasMoreContent(main)) {
            ChunkHeader chunk;
            if (!ReadChunkHeader(&walk, 1, main.endPosition, &chunk)) break;
            if (chunk.id == ChunkEditorData) WalkEditorData(&walk, chunk);
            SkipToChunkEnd(chunk);
        }
        SkipToChunkEnd(main);
    }
    if (walk.outOfMemory) return ModelRead::OutOfMemory;
    return walk.foundMesh ? ModelRead::Found : ModelRead::ObjectMissing;
}

}  // namespace

ModelRead Read3dsObject(TriMeshData* result, const char* fileName, const char* objectName, ChunkTrace trace)
{
    FILE* fp = OpenDataFile(fileName, "rb");
    if (!fp) return ModelRead::CannotOpen;
    ChunkFile file{};
    file.file = fp;
    file.size = INT64_MAX;   // unknown until measured; the end-of-data flag still stops the walk
    if (std::fseek(fp, 0, SEEK_END) == 0) {
        long size = std::ftell(fp);
        if (size >= 0) file.size = size;
    }
    std::fseek(fp, 0, SEEK_SET);
    const ModelRead read = WalkFile(&file, fileName, result, objectName, trace);
    std::fclose(fp);
    return read;
}

ModelRead Read3dsObjectFromMemory(TriMeshData* result, const uint8_t* data, size_t size,
                                  const char* objectName, ChunkTrace trace)
{
    ChunkFile file{};
    file.data = data;
    file.size = static_cast<int64_t>(size);
    return WalkFile(&file, "(memory)", result, objectName, trace);
}

void FreeTriMeshData(TriMeshData* data)
{
    std::free(data->faces);
    std::free(data->positions);
    std::free(data->textureCoordinates);
    *data = TriMeshData{};
}
