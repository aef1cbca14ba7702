#include "core/firmware/ProgramSeal.h"

#include "core/protocol/Checksums.h"

#include <vector>

namespace quelnet::firmware {

namespace {

std::uint32_t StoredWord(const std::uint8_t* program) {
    const std::uint8_t* w = program + CheckWordOffset;
    return std::uint32_t(w[0]) | std::uint32_t(w[1]) << 8 | std::uint32_t(w[2]) << 16 |
           std::uint32_t(w[3]) << 24;
}

} // namespace

std::uint32_t ProgramCheckWord(const std::uint8_t* program) {
    // The checksum is not chainable, so it runs over a copy with the check
    // bytes cleared rather than over the program in two pieces.
    std::vector<std::uint8_t> copy(program, program + SealedLength);
    for (std::size_t i = 0; i < 4; ++i)
        copy[CheckWordOffset + i] = 0;
    return WordCrc(copy.data(), std::uint32_t(SealedLength));
}

bool SealProgram(std::uint8_t* program, std::size_t length) {
    if (length < SealedLength)
        return false;
    const std::uint32_t word = ProgramCheckWord(program);
    for (std::size_t i = 0; i < 4; ++i)
        program[CheckWordOffset + i] = std::uint8_t(word >> (8 * i));
    return true;
}

bool SealProgram(QByteArray& program) {
    return SealProgram(reinterpret_cast<std::uint8_t*>(program.data()), std::size_t(program.size()));
}

bool CheckProgramSeal(const std::uint8_t* program, std::size_t length) {
    return length >= SealedLength && StoredWord(program) == ProgramCheckWord(program);
}

bool CheckProgramSeal(const QByteArray& program) {
    return CheckProgramSeal(reinterpret_cast<const std::uint8_t*>(program.constData()),
                            std::size_t(program.size()));
}

} // namespace quelnet::firmware
