#include "world/levels.h"

namespace {
const char* const LEVELS[LEVEL_COUNT] = {
    "0MMM",
    "0MBBBBB",
    "1BEBEEEBEE",
    "0MRBBRRRRR",
    "0MrrErrErrrErrr",
    "0BBBKKEEKKKKKKE",
    "0ERRSSSSKKKSS",
    "0ssssssssssMRBBBBB",
    "1rrssssHHHHHHHH",
    "1bbbbbaaKKKKKK",
    "0MMBBBHEE",
    "0GGGKKEM",
    "0MGbbbbbbbbbbbb",
    "0EEHbbAAAAA",
    "0aaaaaaaaaaGRRSS",
    "0sssssssssbbbbbbbbbbbbbbb",
    "0sssssssGGRRRRR",
    "0RRDDDDDDD",
    "1MaarrrrFFFFFFF",
    "1BBBYBBYBBBY",
    "0YEEKYKKYYK",
    "1asbsbbFmFmFrsbarraaarr",
    "1AARRRRAAARRRRRR",
    "0MMMMMYYSSSSSSSSSSSS",
    "1rrrrrrrrrrrrrrrBBBBBBBBB",
    "0rrrrSSSSSAAAAASSSSS",
    "0ZZZ",
    "1MMssssaaMMDMMKMBDBKBHH",
    "1aCaCaCaCaCaCaCaCaCaCaCaC",
    "1EEEDHDHDHDDDEDDHHHDEEE",
    "1bEbrrrrFrrEEEEbaFaaSS",
    "0DDDDDDCCC",
    "0RRRRYKKKKYKKKKHHKKKKHHHZ",
    "1RSYYYYYFFYYYYYYY",
    "1AAAAAAbbbbbbCCbbbbbb",
    "0AAAAssssssssssssssssssss",
    "1FFFFFFFFFFFFFFFFFFFFFFFFF",
    "1KKKEEKEEKHEKKKHEEEHEHEKK",
    "1BBBBYYBHYYHHHYYYYYYY",
    "1ADYADYADYADYADYADYDDYYYY",
    "1MMMMMMMMMMMMMMMMMMMMMMMMM",
    "1HHHCCHHDDDDDDDDDHHH",
    "1GGEEEEFGFGFGFGFFFFFF",
    "1AAAAMZZZMMMMMMMMM",
    "1AAAAAAAAAADDDDDAAAAAAAAAA",
    "0bGbGbGbGbZZbRRbRRbRRbRRb",
    "0RRRRCCCCCSSSSCCSSSSCCRRRR",
    "1MMMMMMFFFFFFMMMMMFFFFFFM",
    "1ZaZaHaHZZHHFFFFF",
    "1ZZZZZZZZZ",
};
} // namespace

const char* level_text(int index) {
    return index >= 0 && index < LEVEL_COUNT ? LEVELS[index] : nullptr;
}

int map_index_of(const char* level) {
    char c = level[0];
    return c >= '0' && c <= '3' ? c - '0' : 0;
}
