#include "EffectBinaryCheck.h"

#include "PackError.h"

#include <cstring>
#include <set>

namespace {

const uint32_t kNone = 0xFFFFFFFF;
const uint32_t kStateCount = 179;  // codes 0..178 of the effect runtime's state table
const uint32_t kStatePixelShader = 147, kStateVertexShader = 146, kStateTexture = 164;

class BinaryChecker {
public:
    BinaryChecker(const std::vector<uint8_t>& bytes, const std::string& file) : m_bytes(bytes), m_file(file) {}

    void Run()
    {
        if (m_bytes.size() < 8 || m_bytes.size() % 4)
            Fail("file size " + std::to_string(m_bytes.size()) + " is not a whole number of DWORDs");
        if (At(0) != 0xFEFF0901)
            Fail("wrong tag");
        m_poolSize = At(4);
        if (m_poolSize % 4 || 8 + uint64_t(m_poolSize) > m_bytes.size())
            Fail("data area size out of range");
        m_pos = 8 + m_poolSize;

        const uint32_t params = Next(), techniques = Next();
        Next();  // shader count: not read by the runtime
        m_objectCount = Next();
        for (uint32_t i = 0; i < params; ++i)
            Parameter();
        for (uint32_t t = 0; t < techniques; ++t)
            Technique();
        const uint32_t objects = Next(), resources = Next();
        for (uint32_t i = 0; i < objects; ++i) {
            uint32_t id = Next();
            if (id == 0 || id >= m_objectCount)
                Fail("object list names id " + std::to_string(id) + " of " + std::to_string(m_objectCount));
            Skip(Next());
        }
        for (uint32_t i = 0; i < resources; ++i)
            Resource();
        if (m_pos != m_bytes.size())
            Fail("bytes after the last resource record");
    }

private:
    struct Block {
        std::vector<uint32_t> operations;
    };

    [[noreturn]] void Fail(const std::string& why) const { throw PackError(m_file, 0, "self-check: " + why); }

    uint32_t At(size_t offset) const
    {
        uint32_t v;
        std::memcpy(&v, &m_bytes[offset], 4);
        return v;
    }

    uint32_t Next()
    {
        if (m_pos + 4 > m_bytes.size())
            Fail("structured section ends early");
        uint32_t v = At(m_pos);
        m_pos += 4;
        return v;
    }

    void Skip(uint32_t size)
    {
        uint64_t padded = (uint64_t(size) + 3) & ~uint64_t(3);
        if (m_pos + padded > m_bytes.size())
            Fail("a blob runs past the end of the file");
        m_pos += size_t(padded);
    }

    uint32_t Pool(uint32_t offset) const
    {
        if (offset % 4 || uint64_t(offset) + 4 > m_poolSize)
            Fail("data offset " + std::to_string(offset) + " out of range");
        return At(8 + offset);
    }

    std::string PoolString(uint32_t offset) const
    {
        uint32_t length = Pool(offset);
        if (length == 0)
            return std::string();
        if (uint64_t(offset) + 4 + length > m_poolSize || m_bytes[8 + offset + 4 + length - 1] != 0)
            Fail("string at " + std::to_string(offset) + " is out of range or unterminated");
        return std::string(reinterpret_cast<const char*>(&m_bytes[8 + offset + 4]), length - 1);
    }

    void ObjectId(uint32_t id)
    {
        if (id == 0 || id >= m_objectCount)
            Fail("object id " + std::to_string(id) + " outside 1.." + std::to_string(m_objectCount - 1));
        if (!m_ids.insert(id).second)
            Fail("object id " + std::to_string(id) + " used twice");
    }

    // A typedef and the value paired with it. Returns the sampler block when the type is one.
    Block TypedValue(uint32_t typeOffset, uint32_t valueOffset, std::string* name = nullptr)
    {
        const uint32_t type = Pool(typeOffset), cls = Pool(typeOffset + 4);
        const std::string typeName = PoolString(Pool(typeOffset + 8));
        PoolString(Pool(typeOffset + 12));
        const uint32_t elements = Pool(typeOffset + 16);
        if (name)
            *name = typeName;
        if (elements != 0)
            Fail("array parameters are not written by this packer");
        Block block;
        if (cls <= 3) {
            uint32_t a = Pool(typeOffset + 20), b = Pool(typeOffset + 24);
            if (a < 1 || a > 4 || b < 1 || b > 4)
                Fail("numeric typedef with size " + std::to_string(a) + "x" + std::to_string(b));
            if (type < 1 || type > 3)
                Fail("numeric typedef of type " + std::to_string(type));
            Pool(valueOffset + (a * b - 1) * 4);
            return block;
        }
        if (cls != 4)
            Fail("typedef class " + std::to_string(cls));
        if (type >= 10 && type <= 14) {
            const uint32_t count = Pool(valueOffset);
            for (uint32_t i = 0; i < count; ++i) {
                uint32_t at = valueOffset + 4 + i * 16;
                uint32_t op = Pool(at);
                Pool(at + 12);
                if (op >= kStateCount)
                    Fail("sampler state code " + std::to_string(op));
                TypedValue(Pool(at + 8), Pool(at + 12));
                block.operations.push_back(op);
            }
            return block;
        }
        if (type == 4 || (type >= 5 && type <= 9) || type == 15 || type == 16) {
            ObjectId(Pool(valueOffset));
            return block;
        }
        Fail("object typedef of type " + std::to_string(type));
    }

    void Annotations(uint32_t count)
    {
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t type = Next(), value = Next();
            TypedValue(type, value);
        }
    }

    void Parameter()
    {
        const uint32_t type = Next(), value = Next();
        Next();  // flags
        const uint32_t annotations = Next();
        std::string name;
        Block block = TypedValue(type, value, &name);
        if (name.empty())
            Fail("a parameter without a name");
        if (!m_paramNames.insert(name).second)
            Fail("parameter '" + name + "' appears twice");
        m_samplerBlocks.push_back(block);
        m_isSampler.push_back(Pool(type) >= 10 && Pool(type) <= 14);
        Annotations(annotations);
    }

    void Technique()
    {
        PoolString(Next());
        const uint32_t annotations = Next(), passes = Next();
        Annotations(annotations);
        std::vector<Block> passBlocks;
        for (uint32_t p = 0; p < passes; ++p) {
            PoolString(Next());
            const uint32_t passAnnotations = Next(), states = Next();
            Annotations(passAnnotations);
            Block block;
            for (uint32_t s = 0; s < states; ++s) {
                const uint32_t op = Next();
                Next();  // index
                const uint32_t type = Next(), value = Next();
                if (op >= kStateCount)
                    Fail("pass state code " + std::to_string(op));
                TypedValue(type, value);
                block.operations.push_back(op);
            }
            passBlocks.push_back(block);
        }
        m_passes.push_back(passBlocks);
    }

    void Resource()
    {
        const uint32_t technique = Next(), index = Next(), element = Next(), state = Next(), usage = Next(),
                       size = Next();
        const Block* block = nullptr;
        if (technique == kNone) {
            if (index >= m_samplerBlocks.size() || !m_isSampler[index])
                Fail("resource record for parameter " + std::to_string(index) + ", which is no sampler");
            block = &m_samplerBlocks[index];
        } else {
            if (technique >= m_passes.size() || index >= m_passes[technique].size())
                Fail("resource record for a missing technique or pass");
            block = &m_passes[technique][index];
        }
        if (element != kNone)
            Fail("resource record with an array element");
        if (state >= block->operations.size())
            Fail("resource record for state " + std::to_string(state) + " of " + std::to_string(block->operations.size()));
        const uint32_t op = block->operations[state];
        const size_t data = m_pos;
        Skip(size);
        if (usage == 1) {
            if (size == 0 || m_bytes[data + size - 1] != 0)
                Fail("parameter name in a resource record is not terminated");
            std::string name(reinterpret_cast<const char*>(&m_bytes[data]), size - 1);
            if (!m_paramNames.count(name))
                Fail("resource record names '" + name + "', which is no parameter");
            if (op != kStateTexture)
                Fail("a parameter reference on a state other than Texture");
        } else if (usage == 0) {
            if (op != kStatePixelShader && op != kStateVertexShader)
                Fail("a blob on a state that is no shader");
            const uint32_t version = size >= 4 ? At(data) : 0;
            if (version != (op == kStatePixelShader ? 0xFFFF0200u : 0xFFFE0200u))
                Fail("shader blob of the wrong kind or version");
        } else {
            Fail("resource usage " + std::to_string(usage));
        }
    }

    const std::vector<uint8_t>& m_bytes;
    const std::string& m_file;
    size_t m_pos = 0;
    uint32_t m_poolSize = 0;
    uint32_t m_objectCount = 0;
    std::set<uint32_t> m_ids;
    std::set<std::string> m_paramNames;
    std::vector<Block> m_samplerBlocks;
    std::vector<bool> m_isSampler;
    std::vector<std::vector<Block>> m_passes;
};

}  // namespace

void CheckEffectBinary(const std::vector<uint8_t>& bytes, const std::string& file)
{
    BinaryChecker(bytes, file).Run();
}
