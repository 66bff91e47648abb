// A gate library for the tests: it records every call it gets and counts the texts it handed
// out that were not handed back yet. Built as Complete.so and as variants that lack an entry
// (TESTGATE_LACKS_<entry>) or whose connect fails (TESTGATE_CONNECT_FAILS).

#include "gates/gateapi.h"

#include <QLabel>

#include <cstring>
#include <string>

namespace {

struct Record {
    std::string Log, Info;
    std::u16string DBName = u"main";
    bool Connected = false;
    int Outstanding = 0;
} State;

// CR LF written as "|", so a log line stays one line.
void Log(std::string Line)
{
    for (std::size_t i = Line.find("\r\n"); i != std::string::npos; i = Line.find("\r\n", i))
        Line.replace(i, 2, "|");
    State.Log += Line + "\n";
}

char* Text(const std::string& Value)
{
    ++State.Outstanding;
    return std::strcpy(new char[Value.size() + 1], Value.c_str());
}

std::string Utf8(const char16_t* Text)
{
    return QString::fromUtf16(Text).toStdString();
}

}  // namespace

extern "C" {

GATE_ENTRY const char* testgate_log()
{
    return State.Log.c_str();
}

GATE_ENTRY int testgate_outstanding()
{
    return State.Outstanding;
}

GATE_ENTRY void testgate_reset()
{
    State = Record();
}

uint8_t getconnected()
{
    Log("getconnected");
    return State.Connected;
}

char* saveinfo()
{
    return Text(State.Info);
}

void loadinfo(const char* Info)
{
    Log(std::string("loadinfo:") + Info);
    State.Info = Info;
}

void connectbase()
{
    Log("connectbase");
#ifndef TESTGATE_CONNECT_FAILS
    State.Connected = true;
#endif
}

const char* getconnecterror()
{
    Log("getconnecterror");
    return State.Connected ? nullptr : "no server here";
}

void disconnectbase()
{
    Log("disconnectbase");
    State.Connected = false;
}

uint8_t dbconnectdlg(void*)
{
    return 0;
}

void getdatabasenames(char**)
{
}

void tablesbydatabase(char** Tables)
{
    Log("tablesbydatabase");
    *Tables = Text("Customers\r\nOrders\r\n");
}

void getsqlvalues(const char* SQL, char** Values, char** Items)
{
    Log(std::string("getsqlvalues:") + SQL);
    *Values = Text("1\r\n2\r\n");
    *Items = Text("One\r\nTwo\r\n");
}

void fieldsbytable(const char* TableName, char** Fields)
{
    Log(std::string("fieldsbytable:") + TableName);
    *Fields = Text("Count=1\r\nF1Name=" + Utf8(State.DBName.c_str()) + "." + TableName
        + "\r\nF1Size=4\r\nF1Type=ftInteger\r\n");
}

void linksbydatabase(char**)
{
}

#ifndef TESTGATE_LACKS_GETCURRENTDBNAME
const char16_t* getcurrentdbname()
{
    Log("getcurrentdbname");
    return State.DBName.c_str();
}
#endif

void setcurrentdbname(const char16_t* Name)
{
    Log("setcurrentdbname:" + Utf8(Name));
    State.DBName = Name;
}

const char* getdllinfo()
{
    return "Test gate";
}

#ifndef TESTGATE_LACKS_SHOWRESULT
int32_t showresult(void* ParentWindow, const char* SQL, const char* Captions)
{
    Log(std::string("showresult:") + SQL + "/" + Captions);
    new QLabel(SQL, static_cast<QWidget*>(ParentWindow));
    return 7;
}
#endif

void repaintresult()
{
    Log("repaintresult");
}

void disposetext(char* Text)
{
    const std::string text = Text;
    Log("disposetext:" + text.substr(0, text.find('\r')));
    --State.Outstanding;
    delete[] Text;
}

void* dbconnectdlgparented(void* ParentWindow)
{
    auto* page = new QWidget(static_cast<QWidget*>(ParentWindow));
    page->setFixedHeight(40);
    return page;
}

void repaintdbconnectdlg()
{
}

}  // extern "C"
