// Tables of named counters that the report tools fill while they scan files.
#pragma once

#include <map>

#include <wx/event.h>
#include <wx/string.h>
#include <wx/weakref.h>

template <class T> class QelGridStatistics;

// Shows one counter in a statistics grid view: the key in column 0 and the
// value in column 1 of the row, or of a new row at the bottom when row is not
// one of the grid's. Returns the row used.
int QelStatisticsShowRow(wxEvtHandler* view, int row, const wxString& key, const wxString& value);

// A map from counter name to value. Names are compared exactly (code-point
// order, case-sensitive). A name that was never set reads as 0 and is not
// added by reading. The system uses it with T = long only. A table may be
// shown in a grid view (QelGridStatistics), which every Set keeps current;
// copies share the view, and a destroyed view is simply no longer updated.
template <class T> class QelStatistics {
public:
    // Stores the value under the key and returns it.
    const T Set(const wxString& key, T value)
    {
        m_Items[key] = value;
        if (m_Grid) ShowRow(key, value);
        return value;
    }

    // Adds to the value under the key (an absent key starts from 0) and
    // returns the new value.
    const T Inc(const wxString& key, T value = 1) { return Set(key, Get(key) + value); }

    // The value under the key, 0 when there is none.
    const T Get(const wxString& key) const
    {
        const auto it = m_Items.find(key);
        return it == m_Items.end() ? T() : it->second;
    }

    // The whole table as one text: one "name: value" line per counter, in
    // name order, without a line feed after the last.
    const wxString Get() const
    {
        wxString text;
        for (const auto& item : m_Items) {
            if (!text.empty()) text += "\n";
            text += item.first + ": ";
            text << item.second;
        }
        return text;
    }

    const std::map<wxString, T>& GetItems() const noexcept { return m_Items; }

    // Adds every counter of other to the counter of the same name.
    QelStatistics& operator+=(const QelStatistics& other)
    {
        for (const auto& item : other.m_Items) Inc(item.first, item.second);
        return *this;
    }

    // Mirrors the table into the view from now on, every counter it holds
    // first; null detaches it.
    void SetGrid(QelGridStatistics<T>* grid)
    {
        m_Grid = grid;
        m_Rows.clear();
        if (grid != nullptr)
            for (const auto& item : m_Items) ShowRow(item.first, item.second);
    }

private:
    void ShowRow(const wxString& key, T value)
    {
        const auto row = m_Rows.find(key);
        m_Rows[key] = QelStatisticsShowRow(m_Grid.get(), row == m_Rows.end() ? -1 : row->second,
                                           key, wxString() << value);
    }

    std::map<wxString, T> m_Items;
    std::map<wxString, int> m_Rows; // the view's row of each counter shown there
    wxWeakRef<wxEvtHandler> m_Grid;
};

// The counters of one scanned file, or of many summed: the element counters
// ("Files", "Lines", "Actions Completed" ...; the names pass through the
// translation lookup before use) and one counter per keyword of the file's
// lexer, keyed by the keyword itself.
class QelFileStatistics {
public:
    QelFileStatistics& operator+=(const QelFileStatistics& other)
    {
        m_Elements += other.m_Elements;
        m_Keywords += other.m_Keywords;
        return *this;
    }

    const QelStatistics<long>& GetElements() const noexcept { return m_Elements; }
    const QelStatistics<long>& GetKeywords() const noexcept { return m_Keywords; }

    // For the scanner that fills them.
    QelStatistics<long>& Elements() noexcept { return m_Elements; }
    QelStatistics<long>& Keywords() noexcept { return m_Keywords; }

private:
    QelStatistics<long> m_Elements;
    QelStatistics<long> m_Keywords;
};
