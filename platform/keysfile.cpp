// The keys file's format: key names both ways, the recorder's lines, and the
// reader's split into entries. Only C streams; the same on every host.
#include "platform/keysfile.h"

#include <cstring>

#include "img/img.h"

namespace {
[[maybe_unused]] const IDENT ident = {"KEYSFILE", "20261210", "Tordeval", "C++     ", "CODE    "};

struct KEYNAME {
    const char* name;
    std::int32_t code;
};
// The first name of a code is the one written; the others are read too.
const KEYNAME keyNames[] = {
    {"space", 32}, {"escape", 27}, {"esc", 27}, {"return", 13}, {"enter", 13},
    {"tab", 9},    {"backspace", 8}, {"comma", 44}, {"colon", 58},
};

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
}  // namespace

bool KEYSKept(int code) { return code >= 10 || code == 8 || code == 9; }

void KEYSName(int code, char* out, std::size_t size) {
    if (out == nullptr || size == 0) return;
    for (const KEYNAME& key : keyNames) {
        if (key.code == code) {
            std::snprintf(out, size, "%s", key.name);
            return;
        }
    }
    if (code > 32 && code < 127 && code != KEYS_COMMENT) {
        std::snprintf(out, size, "%c", code);
    } else {
        std::snprintf(out, size, "%d", code);
    }
}

std::int32_t KEYSCode(const char* name, std::int32_t limit) {
    if (name == nullptr || name[0] == '\0') return 0;
    for (const KEYNAME& key : keyNames) {
        if (std::strcmp(name, key.name) == 0) return key.code;
    }
    const std::size_t length = std::strlen(name);
    if (length == 1) {
        const auto c = static_cast<unsigned char>(name[0]);
        return c > 32 && c < 127 ? c : 0;
    }
    if (length > 9) return 0;   // no code has that many digits; nothing overflows
    std::int32_t code = 0;
    for (std::size_t i = 0; i < length; i++) {
        if (name[i] < '0' || name[i] > '9') return 0;
        code = code * 10 + (name[i] - '0');
    }
    return code >= 10 && code < limit ? code : 0;
}

bool KEYSWriteHeader(std::FILE* file, std::int64_t first, std::int64_t last, const char* command) {
    return std::fprintf(file, "%c velm4023 performance: frames %lld to %lld (%lld frames at 50 per second)\n",
                        KEYS_COMMENT, static_cast<long long>(first), static_cast<long long>(last),
                        static_cast<long long>(last - first + 1)) > 0 &&
           std::fprintf(file, "%s%s\n", KEYS_RENDER, command != nullptr ? command : "") > 0;
}

bool KEYSWriteEntry(std::FILE* file, std::int64_t frame, int code) {
    char name[16];
    KEYSName(code, name, sizeof name);
    return std::fprintf(file, "%lld:%s\n", static_cast<long long>(frame), name) > 0;
}

int KEYSReadEntries(std::FILE* file, bool (*take)(const char* entry, std::size_t length, void* context),
                    void* context) {
    if (file == nullptr || take == nullptr) return -1;
    char entry[KEYS_ENTRY_MAX];
    std::size_t length = 0;
    bool comment = false;
    bool tooLong = false;
    for (;;) {
        const int c = std::fgetc(file);
        if (c == EOF || c == '\n' || (c == ',' && !comment)) {
            while (length > 0 && isBlank(entry[length - 1])) length--;
            if ((tooLong || length > 0) && !take(entry, tooLong ? sizeof entry : length, context)) return 0;
            length = 0;
            tooLong = false;
            if (c != ',') comment = false;
            if (c == EOF) break;
        } else if (c == KEYS_COMMENT) {
            comment = true;
        } else if (!comment && !(length == 0 && isBlank(static_cast<char>(c)))) {
            if (length < sizeof entry - 1) {
                entry[length++] = static_cast<char>(c);
            } else {
                tooLong = true;
            }
        }
    }
    return std::ferror(file) == 0 ? 1 : -1;
}
