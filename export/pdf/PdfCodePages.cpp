// Per charset, the glyph names where a code page leaves WinAnsiEncoding.
#include "export/pdf/detail/PdfCodePages.h"

namespace zd {

namespace {
const TPdfGlyphDifference kDiff1253[] = {
    {161, "dieresistonos"}, {162, "Alphatonos"}, {175, "afii00208"}, {180, "tonos"},
    {184, "Epsilontonos"}, {185, "Etatonos"}, {186, "Iotatonos"}, {188, "Omicrontonos"},
    {190, "Upsilontonos"}, {191, "Omegatonos"}, {192, "iotadieresistonos"}, {193, "Alpha"},
    {194, "Beta"}, {195, "Gamma"}, {196, "Deltagreek"}, {197, "Epsilon"}, {198, "Zeta"},
    {199, "Eta"}, {200, "Theta"}, {201, "Iota"}, {202, "Kappa"}, {203, "Lambda"}, {204, "Mu"},
    {205, "Nu"}, {206, "Xi"}, {207, "Omicron"}, {208, "Pi"}, {209, "Rho"}, {211, "Sigma"},
    {212, "Tau"}, {213, "Upsilon"}, {214, "Phi"}, {215, "Chi"}, {216, "Psi"},
    {217, "Omegagreek"}, {218, "Iotadieresis"}, {219, "Upsilondieresis"}, {220, "alphatonos"},
    {221, "epsilontonos"}, {222, "etatonos"}, {223, "iotatonos"}, {224, "upsilondieresistonos"},
    {225, "alpha"}, {226, "beta"}, {227, "gamma"}, {228, "delta"}, {229, "epsilon"},
    {230, "zeta"}, {231, "eta"}, {232, "theta"}, {233, "iota"}, {234, "kappa"}, {235, "lambda"},
    {236, "mugreek"}, {237, "nu"}, {238, "xi"}, {239, "omicron"}, {240, "pi"}, {241, "rho"},
    {242, "sigma1"}, {243, "sigma"}, {244, "tau"}, {245, "upsilon"}, {246, "phi"}, {247, "chi"},
    {248, "psi"}, {249, "omega"}, {250, "iotadieresis"}, {251, "upsilondieresis"},
    {252, "omicrontonos"}, {253, "upsilontonos"}, {254, "omegatonos"},
};

const TPdfGlyphDifference kDiff1254[] = {
    {208, "Gbreve"}, {221, "Idotaccent"}, {222, "Scedilla"}, {240, "gbreve"}, {253, "dotlessi"},
    {254, "scedilla"},
};

const TPdfGlyphDifference kDiff1255[] = {
    {164, "afii57636"}, {170, "multiply"}, {186, "divide"}, {192, "afii57799"},
    {193, "afii57801"}, {194, "afii57800"}, {195, "afii57802"}, {196, "afii57793"},
    {197, "afii57794"}, {198, "afii57795"}, {199, "afii57798"}, {200, "afii57797"},
    {201, "afii57806"}, {203, "afii57796"}, {204, "afii57807"}, {205, "afii57839"},
    {206, "afii57645"}, {207, "afii57841"}, {208, "afii57842"}, {209, "afii57804"},
    {210, "afii57803"}, {211, "afii57658"}, {212, "afii57716"}, {213, "afii57717"},
    {214, "afii57718"}, {224, "afii57664"}, {225, "afii57665"}, {226, "afii57666"},
    {227, "afii57667"}, {228, "afii57668"}, {229, "afii57669"}, {230, "afii57670"},
    {231, "afii57671"}, {232, "afii57672"}, {233, "afii57673"}, {234, "afii57674"},
    {235, "afii57675"}, {236, "afii57676"}, {237, "afii57677"}, {238, "afii57678"},
    {239, "afii57679"}, {240, "afii57680"}, {241, "afii57681"}, {242, "afii57682"},
    {243, "afii57683"}, {244, "afii57684"}, {245, "afii57685"}, {246, "afii57686"},
    {247, "afii57687"}, {248, "afii57688"}, {249, "afii57689"}, {250, "afii57690"},
    {253, "afii299"}, {254, "afii300"},
};

const TPdfGlyphDifference kDiff1256[] = {
    {129, "afii57506"}, {138, "afii57511"}, {141, "afii57507"}, {142, "afii57508"},
    {143, "afii57512"}, {144, "afii57509"}, {154, "afii57513"}, {157, "afii61664"},
    {158, "afii301"}, {159, "afii57514"}, {161, "afii57388"}, {186, "afii57403"},
    {191, "afii57407"}, {193, "afii57409"}, {194, "afii57410"}, {195, "afii57411"},
    {196, "afii57412"}, {197, "afii57413"}, {198, "afii57414"}, {199, "afii57415"},
    {200, "afii57416"}, {201, "afii57417"}, {202, "afii57418"}, {203, "afii57419"},
    {204, "afii57420"}, {205, "afii57421"}, {206, "afii57422"}, {207, "afii57423"},
    {208, "afii57424"}, {209, "afii57425"}, {210, "afii57426"}, {211, "afii57427"},
    {212, "afii57428"}, {213, "afii57429"}, {214, "afii57430"}, {216, "afii57431"},
    {217, "afii57432"}, {218, "afii57433"}, {219, "afii57434"}, {220, "afii57440"},
    {221, "afii57441"}, {222, "afii57442"}, {223, "afii57443"}, {225, "afii57444"},
    {227, "afii57445"}, {228, "afii57446"}, {229, "afii57470"}, {230, "afii57448"},
    {236, "afii57449"}, {237, "afii57450"}, {240, "afii57451"}, {241, "afii57452"},
    {242, "afii57453"}, {243, "afii57454"}, {245, "afii57455"}, {246, "afii57456"},
    {248, "afii57457"}, {250, "afii57458"}, {253, "afii299"}, {254, "afii300"},
    {255, "afii57519"},
};

const TPdfGlyphDifference kDiff1257[] = {
    {141, "dieresis"}, {142, "caron"}, {143, "cedilla"}, {157, "macron"}, {158, "ogonek"},
    {168, "Oslash"}, {170, "Rcedilla"}, {175, "AE"}, {184, "oslash"}, {186, "rcedilla"},
    {191, "ae"}, {192, "Aogonek"}, {193, "Iogonek"}, {194, "Amacron"}, {195, "Cacute"},
    {198, "Eogonek"}, {199, "Emacron"}, {200, "Ccaron"}, {202, "Zacute"}, {203, "Edotaccent"},
    {204, "Gcedilla"}, {205, "Kcedilla"}, {206, "Imacron"}, {207, "Lcedilla"}, {208, "Scaron"},
    {209, "Nacute"}, {210, "Ncedilla"}, {212, "Omacron"}, {216, "Uogonek"}, {217, "Lslash"},
    {218, "Sacute"}, {219, "Umacron"}, {221, "Zdotaccent"}, {222, "Zcaron"}, {224, "aogonek"},
    {225, "iogonek"}, {226, "amacron"}, {227, "cacute"}, {230, "eogonek"}, {231, "emacron"},
    {232, "ccaron"}, {234, "zacute"}, {235, "edotaccent"}, {236, "gcedilla"}, {237, "kcedilla"},
    {238, "imacron"}, {239, "lcedilla"}, {240, "scaron"}, {241, "nacute"}, {242, "ncedilla"},
    {244, "omacron"}, {248, "uogonek"}, {249, "lslash"}, {250, "sacute"}, {251, "umacron"},
    {253, "zdotaccent"}, {254, "zcaron"}, {255, "dotaccent"},
};

const TPdfGlyphDifference kDiff1251[] = {
    {128, "afii10051"}, {129, "afii10052"}, {131, "afii10100"}, {136, "Euro"},
    {138, "afii10058"}, {140, "afii10059"}, {141, "afii10061"}, {142, "afii10060"},
    {143, "afii10145"}, {144, "afii10099"}, {154, "afii10106"}, {156, "afii10107"},
    {157, "afii10109"}, {158, "afii10108"}, {159, "afii10193"}, {161, "afii10062"},
    {162, "afii10110"}, {163, "afii10057"}, {165, "afii10050"}, {168, "afii10023"},
    {170, "afii10053"}, {175, "afii10056"}, {178, "afii10055"}, {179, "afii10103"},
    {180, "afii10098"}, {184, "afii10071"}, {185, "afii61352"}, {186, "afii10101"},
    {188, "afii10105"}, {189, "afii10054"}, {190, "afii10102"}, {191, "afii10104"},
    {192, "afii10017"}, {193, "afii10018"}, {194, "afii10019"}, {195, "afii10020"},
    {196, "afii10021"}, {197, "afii10022"}, {198, "afii10024"}, {199, "afii10025"},
    {200, "afii10026"}, {201, "afii10027"}, {202, "afii10028"}, {203, "afii10029"},
    {204, "afii10030"}, {205, "afii10031"}, {206, "afii10032"}, {207, "afii10033"},
    {208, "afii10034"}, {209, "afii10035"}, {210, "afii10036"}, {211, "afii10037"},
    {212, "afii10038"}, {213, "afii10039"}, {214, "afii10040"}, {215, "afii10041"},
    {216, "afii10042"}, {217, "afii10043"}, {218, "afii10044"}, {219, "afii10045"},
    {220, "afii10046"}, {221, "afii10047"}, {222, "afii10048"}, {223, "afii10049"},
    {224, "afii10065"}, {225, "afii10066"}, {226, "afii10067"}, {227, "afii10068"},
    {228, "afii10069"}, {229, "afii10070"}, {230, "afii10072"}, {231, "afii10073"},
    {232, "afii10074"}, {233, "afii10075"}, {234, "afii10076"}, {235, "afii10077"},
    {236, "afii10078"}, {237, "afii10079"}, {238, "afii10080"}, {239, "afii10081"},
    {240, "afii10082"}, {241, "afii10083"}, {242, "afii10084"}, {243, "afii10085"},
    {244, "afii10086"}, {245, "afii10087"}, {246, "afii10088"}, {247, "afii10089"},
    {248, "afii10090"}, {249, "afii10091"}, {250, "afii10092"}, {251, "afii10093"},
    {252, "afii10094"}, {253, "afii10095"}, {254, "afii10096"}, {255, "afii10097"},
};

const TPdfGlyphDifference kDiff1250[] = {
    {140, "Sacute"}, {141, "Tcaron"}, {143, "Zacute"}, {156, "sacute"}, {157, "tcaron"},
    {159, "zacute"}, {161, "caron"}, {162, "breve"}, {163, "Lslash"}, {165, "Aogonek"},
    {170, "Scedilla"}, {175, "Zdotaccent"}, {178, "ogonek"}, {179, "lslash"}, {185, "aogonek"},
    {186, "scedilla"}, {188, "Lcaron"}, {189, "hungarumlaut"}, {190, "lcaron"},
    {191, "zdotaccent"}, {192, "Racute"}, {195, "Abreve"}, {197, "Lacute"}, {198, "Cacute"},
    {200, "Ccaron"}, {202, "Eogonek"}, {204, "Ecaron"}, {207, "Dcaron"}, {208, "Dcroat"},
    {209, "Nacute"}, {210, "Ncaron"}, {213, "Ohungarumlaut"}, {216, "Rcaron"}, {217, "Uring"},
    {219, "Uhungarumlaut"}, {222, "Tcedilla"}, {224, "racute"}, {227, "abreve"},
    {229, "lacute"}, {230, "cacute"}, {232, "ccaron"}, {234, "eogonek"}, {236, "ecaron"},
    {239, "dcaron"}, {240, "dcroat"}, {241, "nacute"}, {242, "ncaron"}, {245, "ohungarumlaut"},
    {248, "rcaron"}, {249, "uring"}, {251, "uhungarumlaut"}, {254, "tcedilla"},
    {255, "dotaccent"},
};

}  // namespace

std::span<const TPdfGlyphDifference> GlyphDifferences(int charset) {
  switch (charset) {
    case 161: return kDiff1253;
    case 162: return kDiff1254;
    case 177: return kDiff1255;
    case 178: return kDiff1256;
    case 186: return kDiff1257;
    case 204: return kDiff1251;
    case 238: return kDiff1250;
    default: return {};
  }
}

}  // namespace zd
