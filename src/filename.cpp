#include <qelkit/filename.h>

#include <wx/intl.h>
#include <wx/strconv.h>

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

namespace {

wxMBConvUTF8& NameBytes()
{
    static wxMBConvUTF8 conv(wxMBConvUTF8::MAP_INVALID_UTF8_TO_PUA);
    return conv;
}

} // namespace

bool QelUseFileNameBytes()
{
    if (wxLocale::GetSystemEncoding() != wxFONTENCODING_UTF8) return false;
    wxConvFileName = &NameBytes();
    return true;
}

std::string QelFileNameAsUTF8(const std::string& name)
{
    const wxWCharBuffer wide = NameBytes().cMB2WC(name.c_str());
    if (wide.data() == nullptr) return name;
    const wxCharBuffer utf8 = wxConvUTF8.cWC2MB(wide.data());
    return utf8.data() == nullptr ? name : std::string(utf8.data(), utf8.length());
}

std::string QelFileNameBytes(const wxString& text)
{
    // As the file is opened: by the file-name conversion in force, which
    // is the locale's where the system is not UTF-8.
    for (const wxMBConv* conv : {static_cast<const wxMBConv*>(wxConvFileName),
                                 static_cast<const wxMBConv*>(&NameBytes())}) {
        const wxCharBuffer bytes = conv->cWC2MB(text.wc_str());
        if (bytes.data() != nullptr) return std::string(bytes.data(), bytes.length());
    }
    return text.utf8_string();
}
