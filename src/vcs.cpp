#include <qelkit/vcs.h>

#include <wx/config.h>
#include <wx/log.h>
#include <wx/xml/xml.h>

namespace {

// Holds what the XML library says about a file it could not load, so that
// one message can name the file as well.
class LogCollector : public wxLog {
public:
    LogCollector()
        : m_Previous(wxLog::SetActiveTarget(this))
    { }
    ~LogCollector() override { wxLog::SetActiveTarget(m_Previous); }

    const wxString& Text() const { return m_Text; }

protected:
    void DoLogRecord(wxLogLevel, const wxString& msg, const wxLogRecordInfo&) override
    {
        if (!m_Text.empty()) m_Text += "; ";
        m_Text += msg;
    }

private:
    wxLog* m_Previous;
    wxString m_Text;
};

bool IsElement(const wxXmlNode* node, const char* name)
{
    return node->GetType() == wxXML_ELEMENT_NODE && node->GetName() == name;
}

} // namespace

QelVCS::QelVCS(const wxFileName& filename)
{
    FileName() = filename;
}

std::map<wxString, QelVCSEntry>& QelVCS::Entries()
{
    // Never destroyed: the entries must not outlive the toolkit, Clear
    // empties them before it goes.
    static auto* entries = new std::map<wxString, QelVCSEntry>;
    return *entries;
}

wxFileName& QelVCS::FileName()
{
    static wxFileName name;
    return name;
}

bool QelVCS::Read()
{
    const wxString path = FileName().GetFullPath();
    if (!FileName().FileExists()) return false;

    wxXmlDocument doc;
    wxString reason;
    {
        LogCollector collector;
        if (!doc.Load(path, "UTF-8")) reason = collector.Text();
    }
    if (!reason.empty() || doc.GetRoot() == nullptr) {
        wxLogError(_("Version control file could not be loaded: %s: %s"), path, reason);
        return false;
    }

    std::map<wxString, QelVCSEntry> entries;
    for (const wxXmlNode* child = doc.GetRoot()->GetChildren(); child != nullptr;
         child = child->GetNext()) {
        if (!IsElement(child, "vcs")) continue;
        // A second system of the same name is dropped; the next one takes
        // its number.
        if (entries.count(child->GetAttribute("name")) > 0) continue;
        QelVCSEntry entry(child, static_cast<int>(entries.size()) + 2);
        entries.emplace(entry.GetName(), entry);
    }

    const size_t before = Entries().size();
    Entries().swap(entries);
    if (wxConfigBase* config = wxConfigBase::Get(false); config != nullptr) {
        if ((before > 0 && before != Entries().size()) || !config->Exists("VCS"))
            config->Write("VCS", 1L);
    }
    return true;
}

void QelVCS::Clear()
{
    Entries().clear();
}

size_t QelVCS::GetCount()
{
    return Entries().size();
}

const wxFileName& QelVCS::GetFileName()
{
    return FileName();
}

const std::map<wxString, QelVCSEntry>& QelVCS::GetEntries()
{
    return Entries();
}
