// Writes seed inputs for version_fuzzer into the folder given as the argument: PE32 and
// PE32+ images, ELF files and bare VS_VERSIONINFO trees, made by the test fixture builders.
#include <cstdio>
#include <fstream>
#include <string>

#include "pe_builder.h"

namespace {

using namespace quavik::testing;

bool write(const std::string& folder, const std::string& name, const Bytes& bytes) {
    std::ofstream stream(folder + "/" + name, std::ios::binary | std::ios::trunc);
    stream.write(reinterpret_cast<const char*>(bytes.data()),
                 static_cast<std::streamsize>(bytes.size()));
    return stream.good();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    VersionSpec bare;
    bare.tables = {{"040904E4", {{"FileVersion", "1.0"}}}};
    VersionSpec many = typical_version_spec();
    many.translations = {{0x0409, 0x04E4}, {0x0804, 0x04B0}, {0x0000, 0x0000}};
    ElfSpec elf64;
    elf64.version_section = build_version_resource(typical_version_spec());
    ElfSpec elf32_big = elf64;
    elf32_big.wide = false;
    elf32_big.big_endian = true;

    bool ok = true;
    ok &= write(folder, "pe32.dll", build_pe_with_version(typical_version_spec()).bytes);
    ok &= write(folder, "pe32plus.dll", build_pe_with_version(typical_version_spec(), true).bytes);
    ok &= write(folder, "pe32-bare.exe", build_pe_with_version(bare).bytes);
    ok &= write(folder, "elf64.bin", build_elf(elf64).bytes);
    ok &= write(folder, "elf32-big.bin", build_elf(elf32_big).bytes);
    ok &= write(folder, "tree.bin", build_version_resource(typical_version_spec()));
    ok &= write(folder, "tree-many.bin", build_version_resource(many));
    return ok ? 0 : 1;
}
