#include "tests/support/fixtures.h"

#include "tests/support/expectedresults.h"

namespace kestrune {

QString LocalHost(quint16 port)
{
    return QStringLiteral("127.0.0.1:%1").arg(port);
}

QByteArray GoodPage()
{
    return "<html><body><table>\n"
           "<tr><td>1</td><td><a href=\"/u?1\" username=\"AAA\">AAA</a></td>"
           "<td><span class=\"l_item_ex\" data-v>5</span></td></tr>\n"
           "<tr><td>2</td><td><a href=\"/u?2\" username=\"BBB\">BBB</a></td>"
           "<td><span class=\"l_item_ex\" data-v>17</span></td></tr>\n"
           "</table></body></html>\n";
}

QByteArray GoodLines(qint64 firstNumber)
{
    return ExpectedResults({{1, "AAA", 5}, {2, "BBB", 17}}, firstNumber);
}

} // namespace kestrune
