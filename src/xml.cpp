#include <qelkit/xml.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include <expat.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/strconv.h>
#include <wx/xml/xml.h>

#include <qelkit/file.h>

namespace {

// Builds the tree while expat reads. The toolkit's own loader appends every
// piece of text to the text read so far, and feeds expat small blocks, which
// makes expat scan a long value again for each block: both cost time in the
// square of a value's length. Here text is gathered as bytes and converted
// once, and expat gets the whole document at once.
class TreeBuilder {
public:
    explicit TreeBuilder(XML_Parser parser)
        : m_Parser(parser)
        , m_Document(new wxXmlNode(wxXML_DOCUMENT_NODE, wxEmptyString))
        , m_Node(m_Document)
    { }
    ~TreeBuilder() { delete m_Document; }
    TreeBuilder(const TreeBuilder&) = delete;
    TreeBuilder& operator=(const TreeBuilder&) = delete;

    // The tree built, handed over to the caller.
    wxXmlNode* Release()
    {
        wxXmlNode* document = m_Document;
        m_Document = nullptr;
        return document;
    }

    const wxString& GetError() const { return m_Error; }
    const wxString& GetVersion() const { return m_Version; }
    const wxString& GetEncoding() const { return m_Encoding; }

    void Install()
    {
        XML_SetUserData(m_Parser, this);
        XML_SetElementHandler(m_Parser, OnStart, OnEnd);
        XML_SetCharacterDataHandler(m_Parser, OnText);
        XML_SetCdataSectionHandler(m_Parser, OnCdataStart, OnCdataEnd);
        XML_SetCommentHandler(m_Parser, OnComment);
        XML_SetProcessingInstructionHandler(m_Parser, OnInstruction);
        XML_SetXmlDeclHandler(m_Parser, OnDeclaration);
        // A default handler turns the expansion of entities declared in the
        // document off: their references go to it and are dropped.
        XML_SetDefaultHandler(m_Parser, [](void*, const XML_Char*, int) {});
        XML_SetUnknownEncodingHandler(m_Parser, OnUnknownEncoding, nullptr);
    }

    // Text gathered after the root element ends (only white space passes
    // expat there).
    void Finish() { FlushText(); }

private:
    static TreeBuilder& Self(void* data) { return *static_cast<TreeBuilder*>(data); }
    int Line() const { return static_cast<int>(XML_GetCurrentLineNumber(m_Parser)); }

    void Append(wxXmlNode* node)
    {
        // By the last child: appending by the first would walk all of them.
        m_Node->InsertChildAfter(node, m_Last);
        m_Last = node;
    }

    void FlushText()
    {
        if (m_Text.empty()) return;
        if (m_Text.find_first_not_of(" \t\r\n") != std::string::npos) {
            Append(new wxXmlNode(wxXML_TEXT_NODE, m_TextName,
                                 wxString::FromUTF8(m_Text.data(), m_Text.size()), m_TextLine));
        }
        m_Text.clear();
    }

    static void OnStart(void* data, const XML_Char* name, const XML_Char** attributes)
    {
        TreeBuilder& self = Self(data);
        self.FlushText();
        if (++self.m_Depth > kQelXmlMaxDepth) {
            self.m_Error = wxString::Format(_("elements nested deeper than %d at line %d"),
                                            kQelXmlMaxDepth, self.Line());
            self.m_Stopped = true;
            XML_StopParser(self.m_Parser, XML_FALSE);
            return;
        }
        auto* node = new wxXmlNode(wxXML_ELEMENT_NODE, wxString::FromUTF8(name), wxEmptyString,
                                   self.Line());
        wxXmlAttribute* last = nullptr;
        for (const XML_Char** a = attributes; a[0] != nullptr; a += 2) {
            auto* attribute
                = new wxXmlAttribute(wxString::FromUTF8(a[0]), wxString::FromUTF8(a[1]));
            last == nullptr ? node->SetAttributes(attribute) : last->SetNext(attribute);
            last = attribute;
        }
        self.Append(node);
        self.m_Node = node;
        self.m_Last = nullptr;
    }

    static void OnEnd(void* data, const XML_Char*)
    {
        TreeBuilder& self = Self(data);
        // Expat may still end the element it was stopped at, which has no node.
        if (self.m_Stopped) return;
        self.FlushText();
        self.m_Last = self.m_Node;
        self.m_Node = self.m_Node->GetParent();
        --self.m_Depth;
    }

    static void OnText(void* data, const XML_Char* text, int length)
    {
        TreeBuilder& self = Self(data);
        if (self.m_Text.empty()) self.m_TextLine = self.Line();
        self.m_Text.append(text, static_cast<size_t>(length));
    }

    static void OnCdataStart(void* data)
    {
        TreeBuilder& self = Self(data);
        self.FlushText();
        self.Append(
            new wxXmlNode(wxXML_CDATA_SECTION_NODE, self.m_CdataName, wxEmptyString, self.Line()));
    }

    static void OnCdataEnd(void* data)
    {
        TreeBuilder& self = Self(data);
        self.m_Last->SetContent(wxString::FromUTF8(self.m_Text.data(), self.m_Text.size()));
        self.m_Text.clear();
    }

    static void OnComment(void* data, const XML_Char* text)
    {
        TreeBuilder& self = Self(data);
        self.FlushText();
        self.Append(new wxXmlNode(wxXML_COMMENT_NODE, self.m_CommentName, wxString::FromUTF8(text),
                                  self.Line()));
    }

    static void OnInstruction(void* data, const XML_Char* target, const XML_Char* text)
    {
        TreeBuilder& self = Self(data);
        self.FlushText();
        self.Append(new wxXmlNode(wxXML_PI_NODE, wxString::FromUTF8(target),
                                  wxString::FromUTF8(text), self.Line()));
    }

    static void OnDeclaration(void* data, const XML_Char* version, const XML_Char* encoding, int)
    {
        TreeBuilder& self = Self(data);
        if (version != nullptr) self.m_Version = wxString::FromUTF8(version);
        if (encoding != nullptr) self.m_Encoding = wxString::FromUTF8(encoding);
    }

    // Expat knows the Unicode encodings and Latin-1 itself; other one-byte
    // encodings are mapped through the toolkit's converter.
    static int OnUnknownEncoding(void*, const XML_Char* name, XML_Encoding* info)
    {
        wxCSConv conv(wxString::FromUTF8(name));
        if (!conv.IsOk()) return XML_STATUS_ERROR;
        for (int byte = 0; byte < 256; ++byte) {
            const char in[1] = {static_cast<char>(byte)};
            wchar_t out[2] = {0, 0};
            const size_t n = conv.ToWChar(out, 2, in, 1);
            info->map[byte] = n == 1 ? static_cast<int>(out[0]) : -1;
        }
        info->data = nullptr;
        info->convert = nullptr;
        info->release = nullptr;
        return XML_STATUS_OK;
    }

    XML_Parser m_Parser;
    wxXmlNode* m_Document;       // owned until released
    wxXmlNode* m_Node;           // the element being read
    wxXmlNode* m_Last = nullptr; // its last child so far
    int m_Depth = 0;
    bool m_Stopped = false; // nested too deep
    std::string m_Text;     // UTF-8, gathered since the last markup
    int m_TextLine = 0;
    wxString m_Error, m_Version, m_Encoding;
    // The names the toolkit gives nodes that are not elements, converted
    // once: a conversion per node costs as much as the rest of making it.
    const wxString m_TextName{"text"}, m_CdataName{"cdata"}, m_CommentName{"comment"};
};

} // namespace

bool QelParseXml(const char* data, size_t size, wxXmlDocument* doc, wxString* error)
{
    XML_Parser parser = XML_ParserCreate(nullptr);
    if (parser == nullptr) {
        *error = _("out of memory");
        return false;
    }
    TreeBuilder builder(parser);
    builder.Install();

    // In blocks as large as expat takes: its lengths are int.
    constexpr size_t kBlock = size_t(1) << 30;
    bool ok = true;
    size_t done = 0;
    do {
        const size_t length = std::min(kBlock, size - done);
        const bool last = done + length == size;
        ok = XML_Parse(parser, data + done, static_cast<int>(length), last) == XML_STATUS_OK;
        done += length;
    } while (ok && done < size);

    if (!ok) {
        *error = !builder.GetError().empty()
            ? builder.GetError()
            : wxString::Format(_("XML parsing error: '%s' at line %d"),
                               wxString::FromUTF8(XML_ErrorString(XML_GetErrorCode(parser))),
                               static_cast<int>(XML_GetCurrentLineNumber(parser)));
    } else {
        builder.Finish();
        doc->SetDocumentNode(builder.Release());
        doc->SetVersion(builder.GetVersion().empty() ? wxString("1.0") : builder.GetVersion());
        doc->SetFileEncoding(builder.GetEncoding().empty() ? wxString("UTF-8")
                                                           : builder.GetEncoding());
    }
    XML_ParserFree(parser);
    return ok;
}

bool QelLoadXml(const wxString& path, wxXmlDocument* doc, wxString* error)
{
    std::string bytes;
    if (!QelReadWholeFile(path, &bytes, error)) return false;
    return QelParseXml(bytes.data(), bytes.size(), doc, error);
}
