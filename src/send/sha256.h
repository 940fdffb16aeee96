#pragma once

#include <cstddef>
#include <memory>
#include <string>

// SHA-256 of bytes given in pieces, as the drawing list states each copy's: OpenSSL's, which uses the
// processor's SHA instructions where it has them.
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Add(const void* bytes, std::size_t size);
    // The 64 lower-case hexadecimal digits of everything added; starts again afterwards.
    std::string HexDigest();

private:
    struct Context;
    std::unique_ptr<Context> context_;
};

std::string Sha256Of(const std::string& bytes);
