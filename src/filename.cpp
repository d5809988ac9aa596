#include <qelkit/filename.h>

#include <qelkit/lexers.h>

QelFileName::QelFileName() = default;

QelFileName::QelFileName(const wxString& fullpath, wxPathFormat format)
    : wxFileName(fullpath, format)
    , m_Stat(fullpath)
{
    LookupLexer();
}

QelFileName::QelFileName(const wxFileName& filename)
    : wxFileName(filename)
    , m_Stat(filename.GetFullPath())
{
    LookupLexer();
}

QelFileName::QelFileName(const wxFileName& filename, const QelStat& stat)
    : wxFileName(filename)
    , m_Stat(stat)
{
    LookupLexer();
}

QelFileName& QelFileName::operator=(const QelFileName& filename)
{
    m_Lexer = filename.m_Lexer;
    m_Stat = filename.m_Stat;
    wxFileName::Assign(filename.GetFullPath());
    return *this;
}

void QelFileName::LookupLexer()
{
    // Names made before the lexers are loaded (early at start-up) keep the
    // empty lexer; the lookup is not repeated later.
    if (const QelLexers* lexers = QelLexers::Get(false)) {
        m_Lexer = lexers->FindByFileName(*this);
    }
}
