#include "layout_file.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "tokens.h"
#include "tree.h"

namespace layout {

namespace {

// A name that the reader would not take back as written goes out quoted: one
// with white space, the empty name (a bare brace would be read as the name)
// and one that begins with "//" (read as a comment).
bool needsQuotes(std::string_view name)
{
    return quoteString(name) || name.empty() || name.starts_with("//");
}

}  // namespace

void appendRecord(std::string &out, const Item *item)
{
    // The name goes out byte for byte: a name read with a NUL in it must
    // come back as the same name, which printf's "%s" would cut short.
    bool quoted = needsQuotes(item->name);
    if (quoted) out += '"';
    out += item->name;
    if (quoted) out += '"';
    out += " {\n";
    out += format("      x = %f\n", static_cast<double>(item->x));
    out += format("      y = %f\n", static_cast<double>(item->y));
    out += format("  width = %f\n", static_cast<double>(item->width));
    out += format(" height = %f\n", static_cast<double>(item->height));
    out += "}\n\n\n";
}

std::string outputLayout(const Item *root)
{
    std::string out;
    appendRecord(out, root);
    walkPreOrder(const_cast<Item *>(root), [&out](Item *item, int) { appendRecord(out, item); });
    return out;
}

namespace {

struct Attr {
    std::string name;
    float x = 0, y = 0, width = 0, height = 0;
};

// Sums of the character codes by which the keys are recognised.
constexpr int kSumX = 120, kSumY = 121, kSumWidth = 544, kSumHeight = 633;
constexpr int kAllKeys = kSumX + kSumY + kSumWidth + kSumHeight;

int keySum(const std::string &key)
{
    int sum = 0;
    for (char c : key) sum += static_cast<unsigned char>(c);
    return sum;
}

// The whole word must be one finite number.
bool parseStrictFloat(const std::string &word, float &value)
{
    if (word.empty() || isLayoutSpace(word[0])) return false;
    errno = 0;
    char *end = nullptr;
    double d = std::strtod(word.c_str(), &end);
    if (end != word.c_str() + word.size()) return false;
    float f = static_cast<float>(d);
    if (!std::isfinite(d) || !std::isfinite(f)) return false;
    value = f;
    return true;
}

enum class RecordRead { record, endOfFile };

MaybeFailure getPositionAttr(TokenStream &in, Attr &attr, RecordRead &result)
{
    result = RecordRead::endOfFile;
    if (!getToken(in, attr.name)) return std::nullopt;
    bool keysFollow = false;
    if (attr.name == "FACT") {
        std::string next;
        if (!getToken(in, next)) return std::nullopt;
        if (next == "ATTRIBUTE") {
            skipRestOfLine(in);
            if (!getToken(in, attr.name)) return std::nullopt;
        } else if (!next.empty() && next[0] == '{') {
            keysFollow = true;  // an entity named FACT
        } else {
            return fail("Error: Expecting attribute record\n");
        }
    }
    if (!keysFollow) skipRestOfLine(in);

    MaybeFailure missing =
        fail(format("\nEntity: %s is missing one or more attributes.\n", attr.name.c_str()));
    int total = 0;
    std::string key, equals, value;
    for (;;) {
        if (!getWord(in, key)) return std::nullopt;  // record cut by the end of the file
        if (key == "}") break;
        if (!getWord(in, equals) || !getWord(in, value)) return std::nullopt;
        int sum = keySum(key);
        float *field = sum == kSumX        ? &attr.x
                       : sum == kSumY      ? &attr.y
                       : sum == kSumWidth  ? &attr.width
                       : sum == kSumHeight ? &attr.height
                                           : nullptr;
        if (!field) continue;
        if (!parseStrictFloat(value, *field)) return missing;
        total += sum;
    }
    if (total != kAllKeys) return missing;
    result = RecordRead::record;
    return std::nullopt;
}

}  // namespace

MaybeFailure Control_ParseLayout(ItemTable &graph, std::string_view text, FILE *trace)
{
    TokenStream in{text, 0};
    for (;;) {
        Attr attr;
        RecordRead result;
        if (MaybeFailure o = getPositionAttr(in, attr, result)) return o;
        if (result == RecordRead::endOfFile) return std::nullopt;
        if (trace)
            std::fprintf(trace, "%-30s %f %f %f %f\n", attr.name.c_str(), static_cast<double>(attr.x),
                         static_cast<double>(attr.y), static_cast<double>(attr.height),
                         static_cast<double>(attr.width));
        Item *item = searchHash(graph, attr.name);
        if (!item)
            return fail(format("\nEntity: %s, exists in layout file but not in the graph file.\n"
                               "Layout file is not associated with the graph file.\n",
                               attr.name.c_str()));
        item->x = attr.x;
        item->y = attr.y;
        item->width = attr.width;
        item->height = attr.height;
        item->hasBox = true;
    }
}

}  // namespace layout
