#include "SimBatch.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <thread>

#include "DatasheetMotor.h"
#include "SimFiles.h"
#include "TextToReal.h"
#include "Windows1252.h"

namespace {

[[noreturn]] void Unreadable(const std::string& path, const std::string& english, const std::string& french) {
    const std::string shown = Excerpt(path);
    throw Refusal{ErrDatasheetTable, {"\"" + shown + "\" (" + english + ")", "« " + shown + " » (" + french + ")"}};
}

std::vector<std::string> SplitCells(const std::string& line, char separator) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (;;) {
        const std::size_t p = line.find(separator, start);
        cells.push_back(line.substr(start, p == std::string::npos ? std::string::npos : p - start));
        if (p == std::string::npos) return cells;
        start = p + 1;
    }
}

} // namespace

DatasheetTable ReadDatasheetTable(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) Unreadable(path, "not a regular file", "pas un fichier ordinaire");
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) Unreadable(path, ec.message(), ec.message());
    if (static_cast<long long>(size) > MaxDatasheetTableSize)
        Unreadable(path, "larger than 64\u00a0MiB", "plus de 64\u00a0Mio");
    std::ifstream in(path, std::ios::binary);
    std::string text(size, '\0');
    if (!in || !in.read(text.data(), static_cast<std::streamsize>(size)))
        Unreadable(path, std::strerror(errno), std::strerror(errno));
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    if (!IsUtf8(text)) Unreadable(path, "not UTF-8", "pas en UTF-8");

    DatasheetTable table;
    char separator = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (!separator) {
            separator = line.find(';') != std::string::npos ? ';' : ',';
            table.header = SplitCells(line, separator);
            continue;
        }
        table.rows.push_back(SplitCells(line, separator));
    }
    for (std::size_t c = 0; c < DatasheetColumnCount; ++c) {
        const auto named = [&](const std::string& h) { return h == DatasheetColumns[c]; };
        const auto at = std::find_if(table.header.begin(), table.header.end(), named);
        const std::string name = DatasheetColumns[c];
        if (at == table.header.end())
            Unreadable(path, "no column " + name, "pas de colonne " + name);
        if (std::count_if(table.header.begin(), table.header.end(), named) > 1)
            Unreadable(path, "two columns " + name, "deux colonnes " + name);
        table.column[c] = static_cast<std::size_t>(at - table.header.begin());
    }
    return table;
}

Refusal DatasheetRowMotor(const DatasheetTable& table, std::size_t row, FitPriority priority, MotorDataSet& ds) {
    const std::vector<std::string>& cells = table.rows[row];
    const std::string number = std::to_string(row + 1);
    auto rowRefusal = [&](const std::string& english, const std::string& french) {
        return Refusal{ErrDatasheetRow, {number, number, english, french}};
    };
    if (cells.size() != table.header.size())
        return rowRefusal(std::to_string(cells.size()) + " cells where the header has " +
                              std::to_string(table.header.size()),
                          std::to_string(cells.size()) + " cellules où l'en-tête en a " +
                              std::to_string(table.header.size()));
    auto cell = [&](int c) -> const std::string& { return cells[table.column[c]]; };
    for (const std::string& c : cells)
        if (c.find(';') != std::string::npos)
            return rowRefusal("a cell holds \";\"", "une cellule contient « ; »");
    ds = MotorDataSet{};
    ds.ConstructorName = cell(0);
    ds.MotorSize = cell(1);
    // Rated values in the dialog's order of refusals (1 to 7 for a missing one), then the data sheet.
    struct Field {
        int column;
        double* value;
        int missing;
    };
    const Field fields[] = {{2, &ds.MechanicalPower, 1}, {3, &ds.LineVoltage, 2},
                            {6, &ds.Frequency, 5},       {4, &ds.LineCurrent, 3},
                            {5, &ds.PowerFactor, 4},     {7, &ds.RatedSpeed, 7},
                            {9, &ds.LockedRotorCurrentRatio, ErrDatasheetIncomplete},
                            {10, &ds.LockedRotorTorqueRatio, ErrDatasheetIncomplete},
                            {11, &ds.BreakdownTorqueRatio, ErrDatasheetIncomplete}};
    for (const Field& f : fields) {
        const std::string& text = cell(f.column);
        if (text.empty()) return f.missing;
        try {
            *f.value = TextToReal(text);
        } catch (const EConvertError&) {
            const std::string shown = Excerpt(text), name = DatasheetColumns[f.column];
            return {ErrOptionNotANumber, {"The value \"" + shown + "\" of " + name + " in row " + number,
                                          "La valeur « " + shown + " » de " + name + " à la ligne " + number}};
        }
    }
    const std::string& coupling = cell(8);
    if (coupling != "Star" && coupling != "Delta")
        return rowRefusal("Coupling is \"" + Excerpt(coupling) + "\", not Star or Delta",
                          "Coupling vaut « " + Excerpt(coupling) + " », ni Star ni Delta");
    ds.StarCoupling = coupling == "Star";
    ds.ApproximationWithoutNoLoadCurrent = true;
    ds.Priority = priority;
    return ConfirmDatasheetMotor(ds);
}

namespace {
void AppendNumber(std::string& text, double v) {
    text += ';';
    text += CsvNumber(v);
}
} // namespace

std::string FitDatasheetTable(const DatasheetTable& table, FitPriority priority, int threads) {
    const std::size_t n = table.rows.size();
    std::vector<std::string> lines(n);
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < n; i = next++) {
            std::string& line = lines[i];
            const std::vector<std::string>& cells = table.rows[i];
            // The cells as read, as many as the header has, so that the results stay aligned (a
            // ";" inside a cell of a table separated by "," becomes ",").
            for (std::size_t c = 0; c < table.header.size(); ++c) {
                if (c) line += ';';
                if (c < cells.size()) {
                    std::string shown = cells[c];
                    std::replace(shown.begin(), shown.end(), ';', ',');
                    line += shown;
                }
            }
            MotorDataSet ds;
            const Refusal r = DatasheetRowMotor(table, i, priority, ds);
            line += ';' + std::to_string(r.number);
            if (r) {
                line += std::string(19, ';'); // Exact ... BreakdownSlip
            } else {
                const DatasheetFit& f = ds.Fit;
                line += f.Exact ? ";true;" : ";false;";
                line += FitPriorityKey(ds.Priority);
                for (double v : {f.Kr, f.Kx, ds.Rs, ds.Rr, ds.Xssigma, ds.Xrsigma, ds.Xh, ds.Riron, ds.Rr2, ds.Xr2sigma})
                    AppendNumber(line, v);
                for (double d : f.Deviations)
                    AppendNumber(line, d);
                AppendNumber(line, f.BreakdownSlip);
            }
            line += "\r\n";
        }
    };
    std::vector<std::thread> pool;
    const int count = std::max(1, std::min<int>(threads, static_cast<int>(n)));
    for (int t = 1; t < count; ++t)
        pool.emplace_back(work);
    work();
    for (std::thread& t : pool)
        t.join();

    std::string text;
    for (std::size_t c = 0; c < table.header.size(); ++c)
        (text += c ? ";" : "") += table.header[c];
    text += ";Error;Exact;Priority;Kr;Kx;Rs;Rr;Xssigma;Xrsigma;Xh;Riron;Rr2;Xr2sigma";
    for (const char* key : DeviationKeys)
        (text += ";Dev.") += key;
    text += ";BreakdownSlip\r\n";
    for (const std::string& line : lines)
        text += line;
    return text;
}
