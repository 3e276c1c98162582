// SPDX-License-Identifier: GPL-3.0-or-later
// The monitor fed an arbitrary stream from the phone over a fake line and clock. The input is a
// little program: each byte picks an action (send text, let time pass, tick, move a slider,
// answer the next command), and the bytes after it are the action's data.
#include "phone_link/caller_entry.h"
#include "tests/support/fake_program.h"

#include <cstdint>
#include <cstdlib>

namespace {

class Input
{
public:
    Input(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}
    bool atEnd() const { return m_pos >= m_size; }
    std::uint8_t byte() { return atEnd() ? 0 : m_data[m_pos++]; }
    QString text()
    {
        const std::size_t length = std::min<std::size_t>(byte(), m_size - m_pos);
        const QString result =
            QString::fromLatin1(reinterpret_cast<const char *>(m_data + m_pos), qsizetype(length));
        m_pos += length;
        return result;
    }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

bool wellFormed(const QString &line)
{
    static const QString squillo = QStringLiteral("Ha squillato : ");
    static const QString call = QStringLiteral("Ha ciamato   : ");
    const QString tail = line.mid(15 + 15);
    if (!(line.startsWith(squillo) || line.startsWith(call)) || !tail.startsWith(u" > "))
        return false;
    const QString result = line.mid(15 + 15 + 3 + 15);
    return line.startsWith(squillo) ? result == u" = Risposto" : result == u" = Non risposto";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Input input(data, size);
    FakeProgram program;
    auto [clock, line, view, monitor] =
        std::tie(program.clock, program.line, program.view, program.monitor);
    QStringList answers;
    line.responder = [&](const QString &frame) {
        // Whatever reaches the phone as a dial command must be one dialable number.
        if (frame.startsWith(u"ATD")) {
            if (!frame.endsWith(u";\r") || !isDialable(frame.mid(3, frame.size() - 5)))
                std::abort();
        }
        return answers.isEmpty() ? QString() : answers.takeFirst();
    };

    for (int steps = 0; !input.atEnd() && steps < 200; ++steps) {
        switch (input.byte() % 8) {
        case 0:
            line.queue(input.text());
            break;
        case 1:
            line.queue(QStringLiteral("\r\nRING\r\n"));
            break;
        case 2:
            clock.advance(input.byte() / 16.0);
            break;
        case 3:
            monitor.Timer1_Timer();
            break;
        case 4:
            answers << input.text();
            break;
        case 5:
            view.risp = !view.risp;
            break;
        case 6: {
            const std::uint8_t which = input.byte();
            const int value = input.byte();
            if (which % 3 == 0)
                view.slider1 = value % 21;
            else if (which % 3 == 1)
                view.slider2 = value % 61;
            else
                view.slider3 = 1 + value % 10;
            break;
        }
        case 7:
            answers << QStringLiteral("\r\nOK\r\n");
            break;
        }
        monitor.Timer1_Timer();
    }
    clock.advance(9);
    monitor.Timer1_Timer();

    for (const QString &entry : view.list2)
        if (!wellFormed(entry))
            std::abort();
    return 0;
}
