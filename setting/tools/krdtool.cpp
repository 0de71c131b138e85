// krdtool: writes region-data files and bitmaps from a picture description.
//
//   krdtool krd DESCRIPTION OUTPUT [--stored]        the region-data file
//   krdtool bmp DESCRIPTION PICTURE OUTPUT [--lit]   one picture as a .bmp
//
// --stored writes every block uncompressed; --lit writes the highlighted picture.
#include "krd_writer.h"
#include "picture_text.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>

namespace {

krd::FileSpec ReadDescription(const std::string& path) {
    std::ifstream text(path);
    if (!text) throw std::runtime_error("cannot read " + path);
    try {
        return krd::ReadPictureDescription(text);
    } catch (const std::runtime_error& error) {
        throw std::runtime_error(path + ": " + error.what());
    }
}

void WriteFile(const std::string& path, const krd::Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

const krd::ObjectSpec& FindPicture(const krd::FileSpec& file, const std::string& name) {
    for (const krd::ObjectSpec& object : file.Objects) {
        if (object.Name == name) return object;
    }
    throw std::runtime_error("no picture named " + name);
}

int Usage() {
    std::cerr << "usage: krdtool krd DESCRIPTION OUTPUT [--stored]\n"
                 "       krdtool bmp DESCRIPTION PICTURE OUTPUT [--lit]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    const bool flag = argc > 1 && std::strncmp(argv[argc - 1], "--", 2) == 0;
    const int operands = argc - 2 - (flag ? 1 : 0);
    try {
        if (command == "krd" && operands == 2) {
            if (flag && std::strcmp(argv[argc - 1], "--stored") != 0) return Usage();
            const auto packing = flag ? krd::Packing::Stored : krd::Packing::Compressed;
            WriteFile(argv[3], krd::EncodeRegionFile(ReadDescription(argv[2]), packing));
            return 0;
        }
        if (command == "bmp" && operands == 3) {
            if (flag && std::strcmp(argv[argc - 1], "--lit") != 0) return Usage();
            const krd::FileSpec file = ReadDescription(argv[2]);
            const krd::ObjectSpec& picture = FindPicture(file, argv[3]);
            WriteFile(argv[4], krd::EncodeBitmapFile(flag ? picture.Highlight : picture.Plain));
            return 0;
        }
    } catch (const std::exception& error) {
        std::cerr << "krdtool: " << error.what() << "\n";
        return 1;
    }
    return Usage();
}
