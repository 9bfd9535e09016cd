// A TA text in memory as the parser's input, read in blocks as a file is;
// with failsAtEnd, its end is a read error, as a failing disk gives one.
#pragma once

#include "input.h"

#include <algorithm>
#include <cstring>
#include <string>

class CtextSource : public CinputSource {
public:
    explicit CtextSource(std::string text, bool failsAtEnd = false)
        : m_text(std::move(text)), m_failsAtEnd(failsAtEnd)
    {
    }
    size_t read(char *to, size_t size) override
    {
        if (m_failed) return 0;
        const size_t n = std::min(size, m_text.size() - m_at);
        std::memcpy(to, m_text.data() + m_at, n);
        m_at += n;
        if (n == 0 && m_failsAtEnd) m_failed = true;
        return n;
    }
    bool failed() const override { return m_failed; }

private:
    std::string m_text;
    size_t m_at = 0;
    bool m_failsAtEnd;
    bool m_failed = false;
};
