// Study text: written with nlohmann-json's ordered_json, read through its SAX parser into a small
// tree that keeps the line of every key and value (the library's own tree keeps no positions).

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "Identification.h"
#include "Study.h"
#include "Windows1252.h"

namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

// ---- Reading: a tree with lines -----------------------------------------------------------------

struct Member;

struct Node {
    enum class Kind { Null, Boolean, Integer, Unsigned, Float, String, Object, Array };
    Kind kind = Kind::Null;
    int line = 0;
    bool boolean = false;
    std::int64_t integer = 0;
    std::uint64_t whole = 0;
    double number = 0;
    std::string text;            // a text, or a number as written when it has a fraction or an exponent
    std::vector<Member> members; // objects, in file order
};

struct Member {
    std::string key;
    int line = 0; // line of the key
    Node value;
};

// No object of the schema lies deeper than this or has more keys than this; what lies beyond is
// never looked at (its parent is refused first), so it is not kept, which bounds memory and the
// recursion of the tree's destructor whatever the file holds.
constexpr std::size_t MaxStoredDepth = 4;
constexpr std::size_t MaxStoredMembers = 64;

// Lines of the characters the parser has consumed so far. CR LF, LF and a CR alone each end a line.
struct LineState {
    int line = 1;      // line of the next character
    int lastLine = 1;  // line of the last character consumed
    int tokenLine = 1; // line of the last character consumed that is not white space
    std::size_t consumed = 0;
    char last = 0; // the last character consumed
};

bool IsJsonSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Hands the text to the parser one character at a time, counting lines. A token's events arrive
// when its last character has been consumed (a number's one look-ahead character may be white space
// or a delimiter on the same line), so tokenLine is the line of the token just read.
class CountingIterator {
  public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    CountingIterator() = default;
    CountingIterator(const char* at, LineState* lines) : at_(at), lines_(lines) {}
    reference operator*() const { return *at_; }
    CountingIterator& operator++() {
        const char c = *at_++;
        lines_->lastLine = lines_->line;
        if (!IsJsonSpace(c)) lines_->tokenLine = lines_->line;
        if (c == '\r' || (c == '\n' && lines_->last != '\r')) ++lines_->line;
        lines_->last = c;
        ++lines_->consumed;
        return *this;
    }
    CountingIterator operator++(int) {
        CountingIterator before = *this;
        ++*this;
        return before;
    }
    bool operator==(const CountingIterator& other) const { return at_ == other.at_; }
    bool operator!=(const CountingIterator& other) const { return at_ != other.at_; }

  private:
    const char* at_ = nullptr;
    LineState* lines_ = nullptr;
};

struct SyntaxFailure {
    bool failed = false;
    bool tooLarge = false; // a number beyond the range of a double
    bool nul = false;      // a NUL byte where JSON text must go on
    int line = 0;
    std::string message; // the parser's words
    std::string key;     // the key before the number that is too large
};

class TreeBuilder {
  public:
    explicit TreeBuilder(const LineState& lines) : lines_(lines) {}

    Node root;
    SyntaxFailure failure;
    std::optional<LineState> rootEnd; // where the text's value ends, once it has

    bool null() { return Scalar(Make(Node::Kind::Null)); }
    bool boolean(bool value) {
        Node n = Make(Node::Kind::Boolean);
        n.boolean = value;
        return Scalar(std::move(n));
    }
    bool number_integer(Json::number_integer_t value) {
        Node n = Make(Node::Kind::Integer);
        n.integer = value;
        return Scalar(std::move(n));
    }
    bool number_unsigned(Json::number_unsigned_t value) {
        Node n = Make(Node::Kind::Unsigned);
        n.whole = value;
        return Scalar(std::move(n));
    }
    bool number_float(Json::number_float_t value, const Json::string_t& written) {
        Node n = Make(Node::Kind::Float);
        n.number = value;
        n.text = written;
        return Scalar(std::move(n));
    }
    bool string(Json::string_t& value) {
        Node n = Make(Node::Kind::String);
        n.text = std::move(value);
        return Scalar(std::move(n));
    }
    bool binary(Json::binary_t&) { return Scalar(Make(Node::Kind::Null)); } // not in JSON text
    bool start_object(std::size_t) {
        if (skipping_ > 0) {
            ++skipping_;
            return true;
        }
        Node* node = Add(Make(Node::Kind::Object));
        if (!node || open_.size() >= MaxStoredDepth)
            ++skipping_;
        else
            open_.push_back(node);
        return true;
    }
    bool key(Json::string_t& name) {
        lastKey_ = name.substr(0, 200);
        if (skipping_ == 0) {
            pendingKey_ = std::move(name);
            pendingKeyLine_ = lines_.tokenLine;
        }
        return true;
    }
    bool end_object() {
        if (skipping_ > 0)
            --skipping_;
        else
            open_.pop_back();
        return Ended();
    }
    bool start_array(std::size_t) {
        // No value of the schema is an array: it is kept as a leaf, its contents are not.
        if (skipping_ == 0) Add(Make(Node::Kind::Array));
        ++skipping_;
        return true;
    }
    bool end_array() {
        --skipping_;
        return Ended();
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& e) {
        failure.failed = true;
        failure.line = lines_.lastLine;
        failure.tooLarge = e.id == 406;
        failure.key = lastKey_;
        // "[json.exception.parse_error.101] parse error at line 3, column 5: syntax error ..." without
        // the parts that only repeat where it is.
        std::string what = e.what();
        if (const auto column = what.find(", column "); column != std::string::npos) {
            if (const auto colon = what.find(": ", column); colon != std::string::npos)
                what.erase(0, colon + 2);
        } else if (what.rfind("[json.exception.", 0) == 0) {
            if (const auto bracket = what.find("] "); bracket != std::string::npos)
                what.erase(0, bracket + 2);
        }
        failure.message = what;
        // The parser takes a NUL byte outside a text for the end of the input.
        failure.nul = lines_.last == '\0' && what.find("end of input") != std::string::npos;
        return false;
    }

  private:
    Node Make(Node::Kind kind) const {
        Node n;
        n.kind = kind;
        n.line = lines_.tokenLine;
        return n;
    }
    bool Scalar(Node n) {
        if (skipping_ == 0) Add(std::move(n));
        return Ended();
    }
    // Notes where the text's value ends when the value just read completes it.
    bool Ended() {
        if (skipping_ == 0 && open_.empty()) rootEnd = lines_;
        return true;
    }
    // Stores a value under the pending key of the open object (or as the root); nullptr when it is
    // beyond what is kept.
    Node* Add(Node n) {
        if (open_.empty()) {
            root = std::move(n);
            return &root;
        }
        Node& parent = *open_.back();
        if (parent.members.size() >= MaxStoredMembers) return nullptr;
        parent.members.push_back({std::move(pendingKey_), pendingKeyLine_, std::move(n)});
        return &parent.members.back().value;
    }

    const LineState& lines_;
    std::vector<Node*> open_; // objects being filled; a parent's members do not move while a child is open
    int skipping_ = 0;        // open containers whose contents are not kept
    std::string pendingKey_, lastKey_;
    int pendingKeyLine_ = 0;
};

// ---- Reading: the schema --------------------------------------------------------------------------

// Keys and texts in messages: control characters shown as "?", long ones shortened.
std::string Shown(const std::string& text) {
    std::string out = Excerpt(text);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return out;
}

std::string En(const std::string& key) {
    return "\"" + Shown(key) + "\"";
}
std::string Fr(const std::string& key) {
    return "« " + Shown(key) + " »";
}

// The first control character of a UTF-8 text (C0, DEL or C1), if any: the motor list cannot hold
// them, and a study's texts are the list's or a rating code.
std::optional<char32_t> FirstControlCharacter(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F) return c;
        // U+0080-U+009F are C2 80 to C2 9F; C2 is never a continuation byte.
        if (c == 0xC2 && i + 1 < text.size()) {
            const auto next = static_cast<unsigned char>(text[i + 1]);
            if (next >= 0x80 && next <= 0x9F) return next;
        }
    }
    return std::nullopt;
}

// "\"Preset\" in \"softStarter\" at line 14"
ErrorArgument Where(const std::string& key, const char* section, int line) {
    ErrorArgument a{En(key), Fr(key)};
    if (section) {
        a.english += " in " + En(section);
        a.french += " dans " + Fr(section);
    }
    a.english += " at line " + std::to_string(line);
    a.french += " à la ligne " + std::to_string(line);
    return a;
}

struct Expected {
    std::string english, french;
};

Expected Choices(std::initializer_list<const char*> words) {
    Expected e;
    std::size_t i = 0;
    for (const char* w : words) {
        const char* separatorEn = i == 0 ? "" : i + 1 == words.size() ? " or " : ", ";
        const char* separatorFr = i == 0 ? "" : i + 1 == words.size() ? " ou " : ", ";
        e.english += separatorEn + En(w);
        e.french += separatorFr + Fr(w);
        ++i;
    }
    return e;
}

const Expected ANumber{"a number", "un nombre"};
const Expected ANumberOrNull{"a number or null", "un nombre ou null"};
const Expected AWholeNumber{"a whole number", "un nombre entier"};
const Expected AVersion{"a whole number from 1", "un nombre entier à partir de 1"};
const Expected ABoolean{"true or false", "true ou false"};
const Expected AText{"a text", "un texte"};
const Expected AnObject{"an object", "un objet"};
const Expected AnObjectOrNull{"an object or null", "un objet ou null"};

// A field of the study as the file gave it: its line, and how to put a value there that the
// program's checks accept, so that a refusal can be traced to the field that causes it.
struct Site {
    int line = 0;
    bool dynamic = false;
    std::function<void(Study&)> makeGood;
};

enum class Need { Required, Optional };

// A study that every check accepts: the 4 kW reference motor, a supply network, a starter.
Study GoodStudy() {
    Study s;
    StudyMotor& m = s.Motor;
    m.MechanicalPower = 4000;
    m.LineVoltage = 400;
    m.LineCurrent = 8.5;
    m.PowerFactor = 0.82;
    m.Frequency = 50;
    m.RatedSpeed = 1440;
    m.NoLoadLineCurrent = 4.5;
    m.StarCoupling = true;
    MotorDataSet ds;
    ds.MechanicalPower = m.MechanicalPower;
    ds.LineVoltage = m.LineVoltage;
    ds.LineCurrent = m.LineCurrent;
    ds.PowerFactor = m.PowerFactor;
    ds.Frequency = m.Frequency;
    ds.RatedSpeed = m.RatedSpeed;
    ds.NoLoadLineCurrent = m.NoLoadLineCurrent;
    ds.StarCoupling = true;
    DeriveRatedValues(ds);
    IdentifyEquivalentDiagram(ds);
    m.Circuit = {ds.Rs, ds.Rr, ds.Xssigma, ds.Xrsigma, ds.Xh, ds.Riron};
    s.Dynamic.Mechanical.MotorInertia = 0.012;
    SupplyNetwork& n = s.Dynamic.Network;
    n.Enabled = true;
    n.ShortCircuitPower = 50e6;
    n.HasTransformer = true;
    n.TransformerPower = 630e3;
    n.TransformerUk = 6;
    n.TransformerUr = 1;
    n.HasCable = true;
    n.CableLength = 50;
    n.CableSection = 16;
    s.Dynamic.Starter = StarterDuty{100, "AC-53a: 3.5-17: 90-5", 5};
    // A relay at the motor's rated current, with withstand times that any relay setting accepts.
    s.Dynamic.Protection = ProtectionSettings{TripClass::Class10, std::nullopt, 10.0, 8.0};
    return s;
}

class SchemaReader {
  public:
    Study study;
    StudyRefusal failure;
    std::vector<Site> sites;

    bool ok() const { return !failure; }

    void Fail(int number, ErrorArgument argument, int line) {
        if (!failure) failure = {Refusal{number, std::move(argument)}, line};
    }

    // Refuses the first key of the object, in file order, that is unknown or repeated.
    bool Keys(const Node& object, const char* section, std::initializer_list<const char*> known) {
        if (!ok()) return false;
        std::vector<const std::string*> seen;
        for (const Member& m : object.members) {
            if (std::find(known.begin(), known.end(), m.key) == known.end()) {
                Fail(ErrStudyUnknownKey, Where(m.key, section, m.line), m.line);
                return false;
            }
            const bool repeated =
                std::any_of(seen.begin(), seen.end(), [&](const std::string* k) { return *k == m.key; });
            if (repeated) {
                Fail(ErrStudyDuplicateKey, Where(m.key, section, m.line), m.line);
                return false;
            }
            seen.push_back(&m.key);
        }
        return true;
    }

    const Member* Find(const Node& object, const char* section, const char* key, Need need) {
        if (!ok()) return nullptr;
        for (const Member& m : object.members)
            if (m.key == key) return &m;
        if (need == Need::Required) {
            ErrorArgument a{"the key " + En(key), "la clé " + Fr(key)};
            if (section) {
                a.english += " in " + En(section) + " (line " + std::to_string(object.line) + ")";
                a.french += " dans " + Fr(section) + " (ligne " + std::to_string(object.line) + ")";
            }
            Fail(ErrStudyMissingKey, std::move(a), section ? object.line : 0);
        }
        return nullptr;
    }

    void Wrong(const Member& m, const char* section, const Expected& expected) {
        ErrorArgument a = Where(m.key, section, m.line);
        a.english += " must be " + expected.english;
        a.french += " doit être " + expected.french;
        Fail(ErrStudyWrongValue, std::move(a), m.line);
    }

    static bool IsNumber(const Node& n) {
        return n.kind == Node::Kind::Integer || n.kind == Node::Kind::Unsigned || n.kind == Node::Kind::Float;
    }
    static double AsDouble(const Node& n) {
        switch (n.kind) {
        case Node::Kind::Integer:
            return static_cast<double>(n.integer);
        case Node::Kind::Unsigned:
            return static_cast<double>(n.whole);
        default:
            return n.number;
        }
    }

    // Remembers where a field stands and how to make it acceptable.
    template <class Access> void Remember(const Member& m, bool dynamic, Access access) {
        sites.push_back({m.line, dynamic, [access](Study& s) { access(s) = access(Good()); }});
    }
    static Study& Good() {
        static Study good = GoodStudy();
        return good;
    }

    template <class Access>
    void Number(const Node& object, const char* section, const char* key, Need need, bool dynamic,
                Access access) {
        const Member* m = Find(object, section, key, need);
        if (!m) return;
        if (!IsNumber(m->value)) return Wrong(*m, section, ANumber);
        access(study) = AsDouble(m->value);
        Remember(*m, dynamic, access);
    }

    template <class Access>
    void NumberOrNull(const Node& object, const char* section, const char* key, Access access) {
        const Member* m = Find(object, section, key, Need::Optional);
        if (!m) return;
        if (m->value.kind == Node::Kind::Null)
            access(study).reset();
        else if (IsNumber(m->value))
            access(study) = AsDouble(m->value);
        else
            return Wrong(*m, section, ANumberOrNull);
        Remember(*m, true, access);
    }

    template <class Access>
    void Whole(const Node& object, const char* section, const char* key, bool dynamic, Access access) {
        const Member* m = Find(object, section, key, Need::Optional);
        if (!m) return;
        const Node& v = m->value;
        const double x = AsDouble(v);
        constexpr double low = std::numeric_limits<int>::min(), high = std::numeric_limits<int>::max();
        if (!IsNumber(v) || x != std::trunc(x) || x < low || x > high)
            return Wrong(*m, section, AWholeNumber);
        access(study) = static_cast<int>(x);
        Remember(*m, dynamic, access);
    }

    template <class Access>
    void Boolean(const Node& object, const char* section, const char* key, Need need, bool dynamic,
                 Access access) {
        const Member* m = Find(object, section, key, need);
        if (!m) return;
        if (m->value.kind != Node::Kind::Boolean) return Wrong(*m, section, ABoolean);
        access(study) = m->value.boolean;
        Remember(*m, dynamic, access);
    }

    template <class Access>
    void Text(const Node& object, const char* section, const char* key, Need need, bool dynamic,
              Access access) {
        const Member* m = Find(object, section, key, need);
        if (!m) return;
        if (m->value.kind != Node::Kind::String) return Wrong(*m, section, AText);
        if (const std::optional<char32_t> c = FirstControlCharacter(m->value.text)) {
            ErrorArgument a = Where(m->key, section, m->line);
            a.english += " (" + DescribeCodePoint(*c) + ")";
            a.french += " (" + DescribeCodePoint(*c) + ")";
            return Fail(ErrStudyControlCharacter, std::move(a), m->line);
        }
        access(study) = m->value.text;
        Remember(*m, dynamic, access);
    }

    // One of the words; returns its index, or -1 when the key is absent or refused.
    int Choice(const Node& object, const char* section, const char* key, Need need,
               std::initializer_list<const char*> words) {
        const Member* m = Find(object, section, key, need);
        if (!m) return -1;
        if (m->value.kind == Node::Kind::String) {
            int i = 0;
            for (const char* w : words) {
                if (m->value.text == w) return i;
                ++i;
            }
        }
        Wrong(*m, section, Choices(words));
        return -1;
    }

    // The object under the key; nullptr when absent, null (allowed only with orNull) or refused.
    const Node* Object(const Node& parent, const char* section, const char* key, Need need,
                       bool orNull = false) {
        const Member* m = Find(parent, section, key, need);
        if (!m) return nullptr;
        if (m->value.kind == Node::Kind::Object) return &m->value;
        if (!(orNull && m->value.kind == Node::Kind::Null))
            Wrong(*m, section, orNull ? AnObjectOrNull : AnObject);
        return nullptr;
    }

    void Read(const Node& root);

  private:
    void ReadMotor(const Node& motor);
    void ReadDatasheet(const Member& datasheet);
    void ReadSoftStarter(const Node& softStarter);
    void ReadLoad(const Node& load);
    void ReadMechanical(const Node& mechanical);
    void ReadNetwork(const Node& network);
    void ReadComparison(const Node& comparison);
    void ReadProtection(const Node& protection);
    void Withstand(const Node& protection, const char* key, bool cold);

    int version_ = StudyFormatVersion; // of the file being read
};

void SchemaReader::Read(const Node& root) {
    if (root.kind != Node::Kind::Object) {
        const std::string line = std::to_string(root.line);
        return Fail(ErrStudyNotStudy,
                    {"line " + line + " does not open a JSON object",
                     "la ligne " + line + " n'ouvre pas d'objet JSON"},
                    root.line);
    }
    // Format and version first: a newer version may well have keys this program does not know.
    const Member* format = Find(root, nullptr, "format", Need::Optional);
    if (!format)
        return Fail(
            ErrStudyNotStudy,
            {"\"format\": \"tarvello-study\" is missing", "« \"format\": \"tarvello-study\" » manque"}, 0);
    if (format->value.kind != Node::Kind::String || format->value.text != StudyFormatName) {
        const std::string line = std::to_string(format->line);
        return Fail(ErrStudyNotStudy,
                    {"\"format\" at line " + line + " is not \"tarvello-study\"",
                     "« format » à la ligne " + line + " n'est pas « tarvello-study »"},
                    format->line);
    }
    const Member* version = Find(root, nullptr, "version", Need::Required);
    if (!version) return;
    const Node& v = version->value;
    const double number = AsDouble(v);
    if (!IsNumber(v) || number != std::trunc(number) || number < 1) return Wrong(*version, nullptr, AVersion);
    if (number > StudyFormatVersion) {
        // As written: a double would round a version above 2^53.
        const std::string text = Shown(v.kind == Node::Kind::Float     ? v.text
                                       : v.kind == Node::Kind::Integer ? std::to_string(v.integer)
                                                                       : std::to_string(v.whole));
        const std::string line = std::to_string(version->line);
        return Fail(ErrStudyNewerVersion,
                    {text + " (line " + line + ")", text + " (ligne " + line + ")",
                     std::to_string(StudyFormatVersion), std::to_string(StudyFormatVersion)},
                    version->line);
    }
    version_ = static_cast<int>(number);

    // Version 4 added the overload relay.
    if (!(version_ < 4 ? Keys(root, nullptr,
                              {"format", "version", "language", "motor", "softStarter", "load", "mechanical",
                               "network", "comparison", "showStaticCurves"})
                       : Keys(root, nullptr,
                              {"format", "version", "language", "motor", "softStarter", "load", "mechanical",
                               "network", "comparison", "protection", "showStaticCurves"})))
        return;
    if (const Member* language = Find(root, nullptr, "language", Need::Optional);
        language && language->value.kind != Node::Kind::Null) {
        const int i = Choice(root, nullptr, "language", Need::Optional, {"en", "fr"});
        if (i >= 0)
            study.StudyLanguage = i == 0 ? Language::English : Language::French;
        else
            return;
    }
    if (const Node* motor = Object(root, nullptr, "motor", Need::Required)) ReadMotor(*motor);
    if (const Node* softStarter = Object(root, nullptr, "softStarter", Need::Optional))
        ReadSoftStarter(*softStarter);
    if (const Node* load = Object(root, nullptr, "load", Need::Optional)) ReadLoad(*load);
    if (const Node* mechanical = Object(root, nullptr, "mechanical", Need::Optional))
        ReadMechanical(*mechanical);
    if (const Node* network = Object(root, nullptr, "network", Need::Optional)) ReadNetwork(*network);
    if (const Node* comparison = Object(root, nullptr, "comparison", Need::Optional))
        ReadComparison(*comparison);
    if (const Node* protection = Object(root, nullptr, "protection", Need::Optional, true))
        ReadProtection(*protection);
    Boolean(root, nullptr, "showStaticCurves", Need::Optional, false,
            [](Study& s) -> bool& { return s.ShowStaticCurves; });
}

void SchemaReader::ReadMotor(const Node& node) {
    const char* const section = "motor";
    // Version 3 added the data sheet.
    if (!(version_ < 3 ? Keys(node, section,
                              {"source", "ConstructorName", "MotorSize", "MechanicalPower", "LineVoltage",
                               "LineCurrent", "PowerFactor", "Frequency", "RatedSpeed", "NoLoadLineCurrent",
                               "StarCoupling", "ApproximationWithoutNoLoadCurrent", "circuit"})
                       : Keys(node, section,
                              {"source", "ConstructorName", "MotorSize", "MechanicalPower", "LineVoltage",
                               "LineCurrent", "PowerFactor", "Frequency", "RatedSpeed", "NoLoadLineCurrent",
                               "StarCoupling", "ApproximationWithoutNoLoadCurrent", "datasheet", "circuit"})))
        return;
    const int source = Choice(node, section, "source", Need::Required, {"typed", "list", "diagram"});
    if (source < 0) return;
    StudyMotor& m = study.Motor;
    m.Source = source == 0 ? MotorSource::Typed : source == 1 ? MotorSource::List : MotorSource::Diagram;
    const Need req = Need::Required;
    Text(node, section, "ConstructorName", Need::Optional, false,
         [](Study& s) -> std::string& { return s.Motor.ConstructorName; });
    Text(node, section, "MotorSize", Need::Optional, false,
         [](Study& s) -> std::string& { return s.Motor.MotorSize; });
    Number(node, section, "MechanicalPower", req, false,
           [](Study& s) -> double& { return s.Motor.MechanicalPower; });
    Number(node, section, "LineVoltage", req, false, [](Study& s) -> double& { return s.Motor.LineVoltage; });
    Number(node, section, "LineCurrent", req, false, [](Study& s) -> double& { return s.Motor.LineCurrent; });
    Number(node, section, "PowerFactor", req, false, [](Study& s) -> double& { return s.Motor.PowerFactor; });
    Number(node, section, "Frequency", req, false, [](Study& s) -> double& { return s.Motor.Frequency; });
    Number(node, section, "RatedSpeed", req, false, [](Study& s) -> double& { return s.Motor.RatedSpeed; });
    Boolean(node, section, "StarCoupling", req, false,
            [](Study& s) -> bool& { return s.Motor.StarCoupling; });
    Boolean(node, section, "ApproximationWithoutNoLoadCurrent", Need::Optional, false,
            [](Study& s) -> bool& { return s.Motor.ApproximationWithoutNoLoadCurrent; });
    if (!ok()) return;
    const bool typed = m.Source == MotorSource::Typed;
    if (const Member* sheet = Find(node, section, "datasheet", Need::Optional)) {
        if (!typed) {
            const std::string line = std::to_string(sheet->line);
            return Fail(ErrStudyCircuitOfTyped,
                        {"\"datasheet\" at line " + line, "« datasheet » à la ligne " + line}, sheet->line);
        }
        ReadDatasheet(*sheet);
        if (!ok()) return;
    }
    // A typed motor with the approximation or a data sheet has its no-load current computed by the
    // identification.
    const Need noLoad = typed && (m.ApproximationWithoutNoLoadCurrent || m.Datasheet) ? Need::Optional : req;
    Number(node, section, "NoLoadLineCurrent", noLoad, false,
           [](Study& s) -> double& { return s.Motor.NoLoadLineCurrent; });
    if (!ok()) return;

    if (typed) {
        if (const Member* circuit = Find(node, section, "circuit", Need::Optional)) {
            const std::string line = std::to_string(circuit->line);
            Fail(ErrStudyCircuitOfTyped, {"\"circuit\" at line " + line, "« circuit » à la ligne " + line},
                 circuit->line);
        }
        return;
    }
    const Node* circuit = Object(node, section, "circuit", req);
    if (!circuit) return;
    if (!(version_ < 3 ? Keys(*circuit, "circuit", {"Rs", "Rr", "Xssigma", "Xrsigma", "Xh", "Riron"})
                       : Keys(*circuit, "circuit", {"Rs", "Rr", "Xssigma", "Xrsigma", "Xh", "Riron", "Rr2", "Xr2sigma"})))
        return;
    const char* const c = "circuit";
    Number(*circuit, c, "Rs", req, false, [](Study& s) -> double& { return s.Motor.Circuit.Rs; });
    Number(*circuit, c, "Rr", req, false, [](Study& s) -> double& { return s.Motor.Circuit.Rr; });
    Number(*circuit, c, "Xssigma", req, false, [](Study& s) -> double& { return s.Motor.Circuit.Xssigma; });
    Number(*circuit, c, "Xrsigma", req, false, [](Study& s) -> double& { return s.Motor.Circuit.Xrsigma; });
    Number(*circuit, c, "Xh", req, false, [](Study& s) -> double& { return s.Motor.Circuit.Xh; });
    Number(*circuit, c, "Riron", req, false, [](Study& s) -> double& { return s.Motor.Circuit.Riron; });
    // The second cage: both elements, or neither.
    const bool r2 = Find(*circuit, c, "Rr2", Need::Optional), x2 = Find(*circuit, c, "Xr2sigma", Need::Optional);
    if (r2 || x2) {
        Number(*circuit, c, "Rr2", req, false, [](Study& s) -> double& { return s.Motor.Circuit.Rr2; });
        Number(*circuit, c, "Xr2sigma", req, false, [](Study& s) -> double& { return s.Motor.Circuit.Xr2sigma; });
    }
}

void SchemaReader::ReadDatasheet(const Member& member) {
    const char* const section = "datasheet";
    if (member.value.kind != Node::Kind::Object) return Wrong(member, "motor", AnObject);
    const Node& node = member.value;
    if (!Keys(node, section, {"LockedRotorCurrentRatio", "LockedRotorTorqueRatio", "BreakdownTorqueRatio", "Priority"}))
        return;
    study.Motor.Datasheet.emplace();
    const Need req = Need::Required;
    Number(node, section, "LockedRotorCurrentRatio", req, false,
           [](Study& s) -> double& { return s.Motor.Datasheet->LockedRotorCurrentRatio; });
    Number(node, section, "LockedRotorTorqueRatio", req, false,
           [](Study& s) -> double& { return s.Motor.Datasheet->LockedRotorTorqueRatio; });
    Number(node, section, "BreakdownTorqueRatio", req, false,
           [](Study& s) -> double& { return s.Motor.Datasheet->BreakdownTorqueRatio; });
    if (Find(node, section, "Priority", Need::Optional)) {
        const int priority = Choice(node, section, "Priority", Need::Optional, {"torque", "current"});
        if (priority < 0) return;
        study.Motor.Datasheet->Priority = priority == 0 ? FitPriority::Torque : FitPriority::Current;
    }
}

void SchemaReader::ReadSoftStarter(const Node& node) {
    const char* const section = "softStarter";
    if (!Keys(node, section, {"EstimatedStartTime", "Preset", "mode", "DesiredImaxIn", "rampTime"})) return;
    const Need opt = Need::Optional;
    Number(node, section, "EstimatedStartTime", opt, false,
           [](Study& s) -> double& { return s.SoftStarter.EstimatedStartTime; });
    Number(node, section, "Preset", opt, false, [](Study& s) -> double& { return s.SoftStarter.Preset; });
    if (Find(node, section, "mode", opt)) {
        const int mode = Choice(node, section, "mode", opt, {"current-limit", "selected-time", "none"});
        if (mode < 0) return;
        study.SoftStarter.Mode = mode == 0   ? SoftStarterMode::CurrentLimit
                                 : mode == 1 ? SoftStarterMode::SelectedTime
                                             : SoftStarterMode::None;
    }
    Number(node, section, "DesiredImaxIn", opt, false,
           [](Study& s) -> double& { return s.SoftStarter.DesiredImaxIn; });
    Number(node, section, "rampTime", opt, false, [](Study& s) -> double& { return s.SoftStarter.RampTime; });
}

void SchemaReader::ReadLoad(const Node& node) {
    const char* const section = "load";
    if (!Keys(node, section, {"kind", "T0", "T1", "T2"})) return;
    const int kind =
        Choice(node, section, "kind", Need::Required, {"none", "constant", "proportional", "squared"});
    if (kind < 0) return;
    const LoadKind k = static_cast<LoadKind>(kind);
    study.Load.Kind = k;
    const char* const names[] = {"T0", "T1", "T2"};
    for (int i = 0; i < 3 && ok(); ++i) {
        const Member* m = Find(node, section, names[i], Need::Optional);
        if (m && !LoadKindUses(k, i)) {
            const std::string line = std::to_string(m->line);
            return Fail(ErrUnusedLoadCoefficient,
                        {En(names[i]) + " at line " + line + " (" + En(LoadKindKey(k)) + ")",
                         Fr(names[i]) + " à la ligne " + line + " (" + Fr(LoadKindKey(k)) + ")"},
                        m->line);
        }
    }
    Number(node, section, "T0", Need::Optional, false, [](Study& s) -> double& { return s.Load.T0; });
    Number(node, section, "T1", Need::Optional, false, [](Study& s) -> double& { return s.Load.T1; });
    Number(node, section, "T2", Need::Optional, false, [](Study& s) -> double& { return s.Load.T2; });
}

void SchemaReader::ReadMechanical(const Node& node) {
    const char* const section = "mechanical";
    if (!Keys(node, section, {"MotorInertia", "LoadInertia", "StartTimeLimit"})) return;
    NumberOrNull(node, section, "MotorInertia",
                 [](Study& s) -> std::optional<double>& { return s.Dynamic.Mechanical.MotorInertia; });
    Number(node, section, "LoadInertia", Need::Optional, true,
           [](Study& s) -> double& { return s.Dynamic.Mechanical.LoadInertia; });
    Number(node, section, "StartTimeLimit", Need::Optional, true,
           [](Study& s) -> double& { return s.Dynamic.Mechanical.StartTimeLimit; });
}

void SchemaReader::ReadNetwork(const Node& node) {
    const char* const section = "network";
    if (!Keys(node, section,
              {"Enabled", "SourceVoltage", "ShortCircuitPower", "SourceRX", "HasTransformer",
               "TransformerPower", "TransformerUk", "TransformerUr", "HasCable", "CableLength",
               "CableSection", "Material", "CableParallel", "CableReactance", "DipLimit"}))
        return;
    const Need opt = Need::Optional;
    Boolean(node, section, "Enabled", opt, true, [](Study& s) -> bool& { return s.Dynamic.Network.Enabled; });
    NumberOrNull(node, section, "SourceVoltage",
                 [](Study& s) -> std::optional<double>& { return s.Dynamic.Network.SourceVoltage; });
    NumberOrNull(node, section, "ShortCircuitPower",
                 [](Study& s) -> std::optional<double>& { return s.Dynamic.Network.ShortCircuitPower; });
    Number(node, section, "SourceRX", opt, true,
           [](Study& s) -> double& { return s.Dynamic.Network.SourceRX; });
    Boolean(node, section, "HasTransformer", opt, true,
            [](Study& s) -> bool& { return s.Dynamic.Network.HasTransformer; });
    Number(node, section, "TransformerPower", opt, true,
           [](Study& s) -> double& { return s.Dynamic.Network.TransformerPower; });
    Number(node, section, "TransformerUk", opt, true,
           [](Study& s) -> double& { return s.Dynamic.Network.TransformerUk; });
    Number(node, section, "TransformerUr", opt, true,
           [](Study& s) -> double& { return s.Dynamic.Network.TransformerUr; });
    Boolean(node, section, "HasCable", opt, true,
            [](Study& s) -> bool& { return s.Dynamic.Network.HasCable; });
    Number(node, section, "CableLength", opt, true,
           [](Study& s) -> double& { return s.Dynamic.Network.CableLength; });
    Number(node, section, "CableSection", opt, true,
           [](Study& s) -> double& { return s.Dynamic.Network.CableSection; });
    if (Find(node, section, "Material", opt)) {
        const int material = Choice(node, section, "Material", opt, {"copper", "aluminium"});
        if (material < 0) return;
        study.Dynamic.Network.Material = material == 0 ? CableMaterial::Copper : CableMaterial::Aluminium;
    }
    Whole(node, section, "CableParallel", true,
          [](Study& s) -> int& { return s.Dynamic.Network.CableParallel; });
    Number(node, section, "CableReactance", opt, true,
           [](Study& s) -> double& { return s.Dynamic.Network.CableReactance; });
    Number(node, section, "DipLimit", opt, true, [](Study& s) -> double& { return s.Dynamic.DipLimit; });
}

void SchemaReader::ReadComparison(const Node& node) {
    const char* const section = "comparison";
    // Version 1 knew no current limit of the comparison.
    const bool v1 = version_ < 2;
    if (!(v1 ? Keys(node, section, {"ChangeoverSpeed", "AutotransformerTap", "ReactorVoltage", "starter"})
             : Keys(node, section,
                    {"ChangeoverSpeed", "AutotransformerTap", "ReactorVoltage", "CurrentLimit", "starter"})))
        return;
    const Need opt = Need::Optional;
    Number(node, section, "ChangeoverSpeed", opt, true,
           [](Study& s) -> double& { return s.Dynamic.Methods.ChangeoverSpeed; });
    Number(node, section, "AutotransformerTap", opt, true,
           [](Study& s) -> double& { return s.Dynamic.Methods.AutotransformerTap; });
    Number(node, section, "ReactorVoltage", opt, true,
           [](Study& s) -> double& { return s.Dynamic.Methods.ReactorVoltage; });
    // Absent: unset (written only when set).
    Number(node, section, "CurrentLimit", opt, true,
           [](Study& s) -> std::optional<double>& { return s.Dynamic.Methods.CurrentLimit; });
    const Node* starter = Object(node, section, "starter", opt, true);
    if (!starter || !Keys(*starter, "starter", {"RatedCurrent", "RatingCode", "StartsPerHour"})) return;
    study.Dynamic.Starter.emplace();
    const char* const st = "starter";
    const Need req = Need::Required;
    Number(*starter, st, "RatedCurrent", req, true,
           [](Study& s) -> double& { return s.Dynamic.Starter->RatedCurrent; });
    Text(*starter, st, "RatingCode", req, true,
         [](Study& s) -> std::string& { return s.Dynamic.Starter->RatingCode; });
    Number(*starter, st, "StartsPerHour", req, true,
           [](Study& s) -> double& { return s.Dynamic.Starter->StartsPerHour; });
}

void SchemaReader::ReadProtection(const Node& node) {
    const char* const section = "protection";
    if (!Keys(node, section, {"RelayClass", "RelaySetting", "WithstandCold", "WithstandHot"})) return;
    const int tripClass = Choice(node, section, "RelayClass", Need::Required,
                                 {TripClassKey(TripClass::Class10A), TripClassKey(TripClass::Class10),
                                  TripClassKey(TripClass::Class20), TripClassKey(TripClass::Class30)});
    if (tripClass < 0) return;
    study.Dynamic.Protection.emplace().Class = static_cast<TripClass>(tripClass);
    // Null or absent: the motor's rated current.
    NumberOrNull(node, section, "RelaySetting",
                 [](Study& s) -> std::optional<double>& { return s.Dynamic.Protection->RelaySetting; });
    Withstand(node, "WithstandCold", true);
    Withstand(node, "WithstandHot", false);
}

// A withstand time: null or absent for none. Both or neither are given, so the acceptable value
// that lifts a refusal is a good time beside the other one, and none when the other is none.
void SchemaReader::Withstand(const Node& node, const char* key, bool cold) {
    const auto field = [cold](Study& s) -> std::optional<double>& {
        return cold ? s.Dynamic.Protection->WithstandCold : s.Dynamic.Protection->WithstandHot;
    };
    const std::size_t known = sites.size();
    NumberOrNull(node, "protection", key, field);
    if (sites.size() == known) return;
    sites.back().makeGood = [field, cold](Study& s) {
        const ProtectionSettings& p = *s.Dynamic.Protection;
        const bool other = (cold ? p.WithstandHot : p.WithstandCold).has_value();
        field(s) = other ? field(Good()) : std::nullopt;
    };
}

// The line of the field a check refuses: the first field in file order whose acceptable value makes
// the refusal go, else the first whose acceptable value changes it (several faults), else 0.
int BlameLine(const Study& study, std::vector<Site> sites, const Refusal& refusal,
              const std::function<Refusal(const Study&)>& judge, bool dynamicFirst) {
    std::stable_sort(sites.begin(), sites.end(), [&](const Site& a, const Site& b) {
        if (dynamicFirst && a.dynamic != b.dynamic) return a.dynamic;
        return a.line < b.line;
    });
    const auto same = [&](const Refusal& r) {
        return r.number == refusal.number && r.argument.english == refusal.argument.english &&
               r.argument.french == refusal.argument.french &&
               r.argument.english2 == refusal.argument.english2 &&
               r.argument.french2 == refusal.argument.french2;
    };
    for (int pass = 0; pass < 2; ++pass)
        for (const Site& site : sites) {
            Study trial = study;
            site.makeGood(trial);
            const Refusal r = judge(trial);
            if (pass == 0 ? r.number == 0 : !same(r)) return site.line;
        }
    return 0;
}

// ---- Writing ----------------------------------------------------------------------------------------

OrderedJson OrNull(const std::optional<double>& v) {
    return v ? OrderedJson(*v) : OrderedJson(nullptr);
}

OrderedJson StudyJson(const Study& s) {
    OrderedJson j;
    j["format"] = StudyFormatName;
    j["version"] = StudyFormatVersion;
    if (s.StudyLanguage)
        j["language"] = *s.StudyLanguage == Language::English ? "en" : "fr";
    else
        j["language"] = nullptr;

    const StudyMotor& m = s.Motor;
    OrderedJson& motor = j["motor"];
    motor["source"] = MotorSourceKey(m.Source);
    motor["ConstructorName"] = m.ConstructorName;
    motor["MotorSize"] = m.MotorSize;
    motor["MechanicalPower"] = m.MechanicalPower;
    motor["LineVoltage"] = m.LineVoltage;
    motor["LineCurrent"] = m.LineCurrent;
    motor["PowerFactor"] = m.PowerFactor;
    motor["Frequency"] = m.Frequency;
    motor["RatedSpeed"] = m.RatedSpeed;
    // A data sheet's motor has its no-load current from the identification.
    if (!m.Datasheet) motor["NoLoadLineCurrent"] = m.NoLoadLineCurrent;
    motor["StarCoupling"] = m.StarCoupling;
    motor["ApproximationWithoutNoLoadCurrent"] = m.ApproximationWithoutNoLoadCurrent;
    if (m.Datasheet && m.Source == MotorSource::Typed) {
        OrderedJson& d = motor["datasheet"];
        d["LockedRotorCurrentRatio"] = m.Datasheet->LockedRotorCurrentRatio;
        d["LockedRotorTorqueRatio"] = m.Datasheet->LockedRotorTorqueRatio;
        d["BreakdownTorqueRatio"] = m.Datasheet->BreakdownTorqueRatio;
        d["Priority"] = m.Datasheet->Priority == FitPriority::Current ? "current" : "torque";
    }
    if (m.Source != MotorSource::Typed) {
        OrderedJson& c = motor["circuit"];
        c["Rs"] = m.Circuit.Rs;
        c["Rr"] = m.Circuit.Rr;
        c["Xssigma"] = m.Circuit.Xssigma;
        c["Xrsigma"] = m.Circuit.Xrsigma;
        c["Xh"] = m.Circuit.Xh;
        c["Riron"] = m.Circuit.Riron;
        if (m.Circuit.Rr2 != 0 || m.Circuit.Xr2sigma != 0) {
            c["Rr2"] = m.Circuit.Rr2;
            c["Xr2sigma"] = m.Circuit.Xr2sigma;
        }
    }

    const StudySoftStarter& ss = s.SoftStarter;
    OrderedJson& softStarter = j["softStarter"];
    softStarter["EstimatedStartTime"] = ss.EstimatedStartTime;
    softStarter["Preset"] = ss.Preset;
    softStarter["mode"] = SoftStarterModeKey(ss.Mode);
    softStarter["DesiredImaxIn"] = ss.DesiredImaxIn;
    softStarter["rampTime"] = ss.RampTime;

    OrderedJson& load = j["load"];
    load["kind"] = LoadKindKey(s.Load.Kind);
    const double coefficients[] = {s.Load.T0, s.Load.T1, s.Load.T2};
    const char* const names[] = {"T0", "T1", "T2"};
    for (int i = 0; i < 3; ++i)
        if (LoadKindUses(s.Load.Kind, i)) load[names[i]] = coefficients[i];

    const MechanicalData& me = s.Dynamic.Mechanical;
    OrderedJson& mechanical = j["mechanical"];
    mechanical["MotorInertia"] = OrNull(me.MotorInertia);
    mechanical["LoadInertia"] = me.LoadInertia;
    mechanical["StartTimeLimit"] = me.StartTimeLimit;

    const SupplyNetwork& n = s.Dynamic.Network;
    OrderedJson& network = j["network"];
    network["Enabled"] = n.Enabled;
    network["SourceVoltage"] = OrNull(n.SourceVoltage);
    network["ShortCircuitPower"] = OrNull(n.ShortCircuitPower);
    network["SourceRX"] = n.SourceRX;
    network["HasTransformer"] = n.HasTransformer;
    network["TransformerPower"] = n.TransformerPower;
    network["TransformerUk"] = n.TransformerUk;
    network["TransformerUr"] = n.TransformerUr;
    network["HasCable"] = n.HasCable;
    network["CableLength"] = n.CableLength;
    network["CableSection"] = n.CableSection;
    network["Material"] = n.Material == CableMaterial::Copper ? "copper" : "aluminium";
    network["CableParallel"] = n.CableParallel;
    network["CableReactance"] = n.CableReactance;
    network["DipLimit"] = s.Dynamic.DipLimit;

    const MethodSettings& me2 = s.Dynamic.Methods;
    OrderedJson& comparison = j["comparison"];
    comparison["ChangeoverSpeed"] = me2.ChangeoverSpeed;
    comparison["AutotransformerTap"] = me2.AutotransformerTap;
    comparison["ReactorVoltage"] = me2.ReactorVoltage;
    if (me2.CurrentLimit) comparison["CurrentLimit"] = *me2.CurrentLimit;
    if (s.Dynamic.Starter) {
        OrderedJson& starter = comparison["starter"];
        starter["RatedCurrent"] = s.Dynamic.Starter->RatedCurrent;
        starter["RatingCode"] = s.Dynamic.Starter->RatingCode;
        starter["StartsPerHour"] = s.Dynamic.Starter->StartsPerHour;
    } else {
        comparison["starter"] = nullptr;
    }

    // Written only when set: a study without a relay reads as in the versions before.
    if (const std::optional<ProtectionSettings>& p = s.Dynamic.Protection) {
        OrderedJson& protection = j["protection"];
        protection["RelayClass"] = TripClassKey(p->Class);
        protection["RelaySetting"] = OrNull(p->RelaySetting);
        protection["WithstandCold"] = OrNull(p->WithstandCold);
        protection["WithstandHot"] = OrNull(p->WithstandHot);
    }

    j["showStaticCurves"] = s.ShowStaticCurves;
    return j;
}

Refusal FindUnwritable(const OrderedJson& j, const std::string& key) {
    if (j.is_object()) {
        for (const auto& [k, v] : j.items())
            if (Refusal r = FindUnwritable(v, k)) return r;
    } else if (j.is_number_float() && !std::isfinite(j.get<double>())) {
        return {ErrStudyNotWritable,
                {En(key) + " is not a finite number", Fr(key) + " n'est pas un nombre fini"}};
    } else if (j.is_string()) {
        const std::string& text = j.get_ref<const std::string&>();
        if (!IsUtf8(text))
            return {ErrStudyNotWritable,
                    {En(key) + " is not UTF-8 text", Fr(key) + " n'est pas un texte UTF-8"}};
        if (const std::optional<char32_t> c = FirstControlCharacter(text))
            return {ErrStudyNotWritable,
                    {En(key) + " holds the control character " + DescribeCodePoint(*c),
                     Fr(key) + " contient le caractère de contrôle " + DescribeCodePoint(*c)}};
    }
    return 0;
}

} // namespace

std::string StudyText(const Study& study) {
    return StudyJson(study).dump(2, ' ', false, OrderedJson::error_handler_t::replace) + "\n";
}

Refusal CheckStudyWritable(const Study& study) {
    return FindUnwritable(StudyJson(study), {});
}

std::string StudyRefusalText(const StudyRefusal& refusal, Language language) {
    std::string text = ErrorText(refusal.refusal, language);
    const bool namesItsLine =
        (refusal.number() >= 150 && refusal.number() <= 169) || refusal.number() == ErrStudyControlCharacter;
    if (refusal.line > 0 && !namesItsLine)
        text += (language == Language::English ? " (study file, line " : " (fichier d'étude, ligne ") +
                std::to_string(refusal.line) + ")";
    return text;
}

namespace {

// The language the study names, from as much of it as could be read, so that the messages of a
// refused study can speak it too. The first "language" key decides.
std::optional<Language> NamedLanguage(const Node& root) {
    if (root.kind != Node::Kind::Object) return std::nullopt;
    for (const Member& m : root.members) {
        if (m.key != "language") continue;
        if (m.value.kind == Node::Kind::String && m.value.text == "en") return Language::English;
        if (m.value.kind == Node::Kind::String && m.value.text == "fr") return Language::French;
        return std::nullopt;
    }
    return std::nullopt;
}

StudyRefusal ReadParsed(const std::string& text, const TreeBuilder& builder, Study& out,
                        const StudySettingsCheck& check) {
    // Only white space may follow the study; the parser itself stops at a NUL byte.
    if (builder.rootEnd) {
        LineState after = *builder.rootEnd;
        CountingIterator at(text.data() + after.consumed, &after);
        const CountingIterator end(text.data() + text.size(), &after);
        while (at != end && IsJsonSpace(*at))
            ++at;
        if (at != end) {
            const std::string line = std::to_string(after.line);
            return {Refusal{ErrStudyNotJson,
                            {"line " + line + ": text follows the end of the JSON value",
                             "ligne " + line + " : du texte suit la fin de la valeur JSON"}},
                    after.line};
        }
    }
    if (builder.failure.failed) {
        const SyntaxFailure& f = builder.failure;
        const std::string line = std::to_string(f.line);
        if (f.tooLarge) {
            ErrorArgument a{"line " + line, "ligne " + line};
            if (!f.key.empty()) a = Where(f.key, nullptr, f.line);
            return {Refusal{ErrStudyNumberTooLarge, std::move(a)}, f.line};
        }
        if (f.nul)
            return {Refusal{ErrStudyNotJson,
                            {"line " + line + ": a NUL byte", "ligne " + line + " : un octet nul"}},
                    f.line};
        return {Refusal{ErrStudyNotJson,
                        {"line " + line + ": " + f.message, "ligne " + line + " : " + f.message}},
                f.line};
    }

    SchemaReader reader;
    reader.Read(builder.root);
    if (reader.failure) return reader.failure;

    // The program's own checks, on the data set the study makes.
    const Study& study = reader.study;
    const auto model = [](const Study& s) {
        MotorDataSet ds;
        DynamicSettings settings;
        return ApplyStudy(s, ds, settings);
    };
    if (Refusal e = model(study)) return {e, BlameLine(study, reader.sites, e, model, false)};
    if (check) {
        const auto judge = [&](const Study& s) {
            MotorDataSet ds;
            DynamicSettings settings;
            if (Refusal e = ApplyStudy(s, ds, settings)) return e;
            return check(settings, ds);
        };
        if (Refusal e = judge(study)) return {e, BlameLine(study, reader.sites, e, judge, true)};
    }
    out = reader.study;
    return {};
}

} // namespace

StudyRefusal ParseStudy(const std::string& text, Study& out, const StudySettingsCheck& check) {
    LineState lines;
    TreeBuilder builder(lines);
    const char* const begin = text.data();
    Json::sax_parse(CountingIterator(begin, &lines), CountingIterator(begin + text.size(), &lines), &builder);
    StudyRefusal refusal = ReadParsed(text, builder, out, check);
    if (refusal) refusal.language = NamedLanguage(builder.root);
    return refusal;
}
