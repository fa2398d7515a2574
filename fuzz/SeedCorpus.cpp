// Writes the seed corpus of the fuzz targets into <dir>/<target>/: the
// catalogue's own texts, as the product holds them (GBK bytes: this is built
// by gcc), and hand-made inputs at the edges each rule is about. Run by
// fuzz/make-seeds.sh; the inputs of earlier findings are kept here too, so
// that every seed can be made again.
#include "../catalogue/Catalogue.h"
#include "../catalogue/TFileListSpec.h"
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace std::string_literals;

namespace {
std::string Root;

void Write(const char* target, const std::string& name, const std::string& bytes)
{
    const std::string dir = Root + "/" + target;
    if (::mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) {
        std::perror(dir.c_str());
        std::exit(1);
    }
    const std::string path = dir + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || std::fclose(file) != 0) {
        std::perror(path.c_str());
        std::exit(1);
    }
}

std::string Numbered(const char* stem, size_t i)
{
    char number[8];
    std::snprintf(number, sizeof number, "%02zu", i + 1);
    return stem + std::string(number);
}

std::vector<const TLinkedStrings*> Rows(const THashTableImp<TLinkedStrings>& table)
{
    std::vector<const TLinkedStrings*> rows;
    table.ForEach([&rows](const TLinkedStrings& row) { rows.push_back(&row); });
    std::sort(rows.begin(), rows.end(),
              [](const TLinkedStrings* a, const TLinkedStrings* b) { return a->Name < b->Name; });
    return rows;
}

// The directory lines the file-list target reads before the list.
std::string Places(const std::string& windows, const std::string& system, const std::string& install)
{
    return windows + "\n" + system + "\n" + install + "\n";
}

void FileListSeeds()
{
    std::vector<const TLinkedStrings*> rows = Rows(ProductCatalogue);
    for (size_t i = 0; i < rows.size(); ++i)
        Write("file_list", Numbered("catalogue-", i), rows[i]->FileList);

    // Joins of 255 bytes (fit) and 256 (refused), in the installation
    // directory and in the Windows directory.
    const std::string install = "C:\\" + std::string(200, 'd') + "\\";
    const std::string windows = "C:\\" + std::string(240, 'w');
    Write("file_list", "edge-255-256",
          Places(windows, "C:\\WINDOWS\\SYSTEM", install) + std::string(50, 'f') + "=;" + std::string(51, 'g') +
              "=;$w\\" + std::string(11, 'h') + "=;$w\\" + std::string(12, 'i') + "=;");
    Write("file_list", "dollar-and-drive-forms",
          "$w\\a.hlp=;$y\\b.dll=;$q\\c.dat=;$=;$w=;$y;D:\\x.dat=;=Help;a,b.exe=c,d|e;;x=y=z,A||B|;");
    Write("file_list", "no-directories", Places("", "", "") + "vexa.exe=ZOLT,YSB;$w\\a.hlp=;$y\\b.dll=;D:\\c=;");
    Write("file_list", "gbk-texts", "常用.cfg=常用,工程|YSB;uninst\\\x81\x5c.exe=\x81\x5c,\x81\x7c|\x81\x5c;");
    // A document-type name that is empty up to its zero byte.
    Write("file_list", "zero-in-type", "vexa.exe=ZOLT,\0YSB|YSB;"s);
}

void FixedPathSeeds()
{
    Write("fixed_path", "product-join", "C:\\ZOLT\\\0uninst\\\0udmain.exe"s);
    Write("fixed_path", "fits-255", "C:\\\0"s + std::string(252, 'a'));
    Write("fixed_path", "refused-256", "C:\\\0"s + std::string(253, 'a') + "\0x.exe"s);
    Write("fixed_path", "gbk", "D:\\工程预算\\\0常用.cfg\0\0"s);
}

void GbkSeeds()
{
    // The character to look for, the text, a zero, the text to find.
    Write("gbk_search", "uninst-marker", "\\C:\\ZOLT\\uninst\\udmain.exe\0\\uninst"s);
    Write("gbk_search", "backslash-trail", "\\D:\\\x81\x5cx\\uninst\0\\uninst"s);
    Write("gbk_search", "program-name", "\\C:\\Program Files\\弈辰软件\\uninst\\UninstallZolt.exe /u\0UninstallZolt.exe"s);
    Write("gbk_search", "lone-lead", "\\a\x81\0\x81"s);
    Write("gbk_search", "ends-with", "\\D:\\弈辰\\"s);
    Write("gbk_search", "bar", "|A\x81\x7c|B\0|B"s);
    // Found by this target: a needle ending in a lead byte matched the
    // first half of a two-byte character.
    Write("gbk_search", "finding-half-character", "a\x81\x5c\0\x81"s);
}

void DocumentTypeSeeds()
{
    std::set<std::string> lists;
    for (const TLinkedStrings* row : Rows(ProductCatalogue))
        for (const TFileListEntry& entry : TFileListSpec::Parse(row->FileList))
            if (!entry.ExtensionList.empty())
                lists.insert(entry.ExtensionList);
    size_t i = 0;
    for (const std::string& list : lists)
        Write("document_type", Numbered("catalogue-", i++), list);

    Write("document_type", "zero-name", "\0YSB"s);
    Write("document_type", "zero-after-name", "AB\0xxxx|YSB"s);
    Write("document_type", "eleven-and-twelve", "ABCDEFGHIJK|ABCDEFGHIJKL|A工程预算封|工程预算封面");
    Write("document_type", "backslashes", "\\|A\\B|AB\\|\x81\x5c|\x81\x5c\\");
    Write("document_type", "bar-trail", "A\x81\x7c" "B|C|\x81");
}

void KeyListSeeds()
{
    std::string names;
    for (const TLinkedStrings* row : Rows(QuotaLibraryCatalogue))
        names += row->Name + '\0';
    Write("key_list", "quota-libraries", names);
    Write("key_list", "cut-last-name", "ab\0cd\0ef"s);
    Write("key_list", "empty-names", "\0\0ab\0\0"s);
    Write("key_list", "gbk-names", "甲乙丙\0丁戊\0"s);
}

void CommandLineSeeds()
{
    const std::string program = "\"C:\\Program Files\\ZOLT\\uninst\\UninstallZolt.exe\" ";
    std::string products;
    for (const TLinkedStrings* row : Rows(ProductCatalogue))
        products += (products.empty() ? "" : ";") + row->Name;
    Write("command_line", "quiet-all-log", program + "/quiet /all \"/log:C:\\My Logs\\uz.log\"");
    Write("command_line", "items-catalogue", program + "/quiet \"/items:" + products + "\"");
    Write("command_line", "items-headings", program + "-QUIET -items:程序;定额库;注册表中历史记录，台帐");
    Write("command_line", "list", program + "/list");
    Write("command_line", "help", program + "/?");
    Write("command_line", "quotes-backslashes", program + "a\\\\\"b c\" \"x\"\"y\" /log:C:\\logs\\");
    Write("command_line", "trail-backslash", program + "/items:\"\xDB\x5C\" /all");
    Write("command_line", "refused", program + "/all /items:甲;;乙 /frob stray");
    Write("command_line", "zero-inside", program + "/quiet /all\0/frob"s);
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: uz-seeds <corpus-dir>\n");
        return 2;
    }
    Root = argv[1];
    if (::mkdir(Root.c_str(), 0755) != 0 && errno != EEXIST) {
        std::perror(Root.c_str());
        return 1;
    }
    FillCatalogues();
    FileListSeeds();
    FixedPathSeeds();
    GbkSeeds();
    DocumentTypeSeeds();
    KeyListSeeds();
    CommandLineSeeds();
    return 0;
}
