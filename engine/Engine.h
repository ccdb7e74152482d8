// The composition engine: typed letters, their ranked candidates, paging and commit.
// The owner (text service or demonstration box) feeds it one key operation at a time
// and reads the public state between operations. One thread, no locks, no windows.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Candidate.h"
#include "CandidateCache.h"
#include "CandidateList.h"
#include "Config.h"
#include "Dict.h"
#include "LearnedFilter.h"
#include "ListBuilder.h"
#include "Ranker.h"
#include "ShortLists.h"
#include "UserSaver.h"

namespace zl {

class Engine {
public:
    Engine() = default;
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    static constexpr size_t kMaxCandidates = ListBuilder::kMaxCandidates;
    static constexpr size_t kMaxPinyinLetters = 24;
    static constexpr size_t kMaxMixedLetters = 20;

    // Loads dataDir + "\zlwb.dat"; the learning files are read only when that worked.
    bool Init(const std::wstring& dataDir);

    // Key operations; true when the engine used the key.
    bool OnLetter(char c);
    bool OnBackspace();
    bool OnSpace();
    bool OnDigit(int d);
    bool OnEnter();
    bool OnEscape();
    bool OnPageKey(bool next);

    uint64_t pageCount() const;
    bool NextPage();
    bool PrevPage();
    // i counts from 0 on the shown page.
    bool SelectOnPage(uint64_t i);
    bool SelectGlobal(uint64_t i);
    void CommitIndex(uint64_t i);
    // Moves the pending commit text into out; false (out untouched) when there is none.
    bool TakeCommit(std::wstring& out);
    void Clear();

    // One composition of pinyin started from idle Wubi input by the letter z.
    bool CanTempPinyin() const;
    void BeginTempPinyin();
    void CancelTempPinyin();

    // Rebuilds candidates from code, the scheme and the learning maps. A caller that
    // changed userFreq, promotions or the dictionary directly calls it afterwards:
    // it also drops the lists kept for codes typed before, and reads userFreq's texts
    // again (a few milliseconds at 100,000 texts).
    void Update();
    static bool IsGbkText(std::wstring_view text);
    bool PinyinHasMatch(const std::string& code) const;

    // Candidates per page; anything below 1 counts as 5.
    uint64_t PageSize() const;

    // Learning (use counts and promotions).
    void LoadUser();
    // Writes user.dat now when the counts changed since they were last saved, after
    // the background saves already asked for: the flush for focus loss and deactivation.
    void SaveUser();
    void Learn(const std::wstring& text);
    void LoadPromote();
    void SavePromote();
    bool PromoteGlobal(uint64_t i);
    bool PromoteOnPage(uint64_t i);
    void ClearPromotions(const std::wstring& code);
    void Reload();

    // Punctuation and full-width conversion of one typed character.
    std::wstring punct(wchar_t c);
    std::wstring ToWidth(const std::wstring& s) const;

    Dict dict;
    Config config;
    Mode mode = kModeWubi;
    bool tempPinyin = false;
    std::string code;
    std::wstring shownCode;
    CandidateList candidates;
    uint64_t wubiCount = 0;
    uint64_t exactCount = 0;
    bool pinyinLonger = false;
    uint64_t page = 0;
    std::wstring commit;
    std::unordered_map<std::wstring, uint32_t> userFreq;    // text -> use count
    std::unordered_map<std::wstring, uint32_t> promotions;  // code + U+0001 + text -> stamp
    uint32_t promoteMax = 0;
    bool userDirty = false;
    bool dquoteOpen = false;
    bool squoteOpen = false;
    std::wstring dataDir;

private:
    using Pending = PendingCandidate;

    Mode EffectiveMode() const;
    // Global index of the first candidate of the shown page; UINT64_MAX past the list.
    uint64_t PageStart() const;
    void AppendLetter(char c);
    // Drops the kept lists and search results: the dictionary or the learning changed.
    void ForgetSearches();
    // Gives the scratch of list building its usual room, so that keys need not.
    void ReserveScratch();
    // Update without dropping the kept lists: what the key operations call.
    void Refresh();
    // Update for the engine's own changes, which leave userFreq's texts as they were.
    void Rebuild();
    // Serves the list of code from the cache; false when it holds no usable one.
    bool RefreshFromCache(Mode m);
    // Reads again the counts of list's candidates counted since it read them, and
    // ranks the list again when they moved it.
    void CatchUpCounts(CachedList& list);
    void BuildList(Mode m, bool presearched);
    // Serves a short code from the lists built aside; false when they hold none for it
    // (not built yet, taken already, or for other settings).
    bool TakeShortList(Mode m);
    // Starts building the short lists aside for the scheme m and the present settings;
    // userFile, the bytes userFreq was just read from, lets them carry the counts.
    void StartShortLists(Mode m, std::shared_ptr<const std::string> userFile = nullptr);
    // Adds the promotions of the typed code, and the use counts when counts is set, to
    // candidates built from the dictionary alone; texts, when given, are theirs
    // (otherwise read by source).
    void AddUserData(PendingList& pending, const std::vector<std::wstring_view>* texts, bool counts);
    // False when no promotion names a text of this hash (rebuilt when promotions changed).
    bool MayBePromoted(uint32_t hash);
    void EmitCandidates(const PendingList& pending, const std::vector<uint32_t>& kept);
    // PinyinHasMatch that keeps the ids of its search for the Update that follows.
    bool PinyinExtends(const std::string& longer);
    // Dict::SearchPinyin, answered from the last search that found all its matches when
    // typed extends its code.
    void SearchPinyin(const std::string& typed, std::vector<uint32_t>& out, uint64_t max);
    // Gives the promotions stamps 1..n in their old order, freeing the stamps above.
    void RenumberStamps();
    // Drops the oldest quarter of the promotions (and all that share its last stamp).
    void TrimPromotions();

    // Scratch of Update, kept between calls so a keystroke allocates little.
    ListBuilder builder_;
    std::string pinyinSearched_;       // code whose mixed-scheme pinyin ids are in pinyinIds_
    std::vector<uint32_t> pinyinIds_;
    Ranker ranker_;
    std::vector<uint32_t> kept_;
    std::vector<uint32_t> raised_;  // positions whose use counts grew, while refreshing a kept list
    std::vector<uint32_t> countedHashes_;  // of the texts counted since a kept list read its counts
    CandidateCache cache_;
    LearnedFilter learned_;  // the texts of userFreq
    std::string pinyinWhole_;  // a code whose every pinyin match is in pinyinWholeIds_
    std::vector<uint32_t> pinyinWholeIds_;
    bool pinyinWholeKnown_ = false;
    std::string prefix_;
    std::wstring promoteKey_;
    std::wstring textKey_;
    // The short lists: started by Init, taken from by the key operations. Shared with the
    // dictionary's warm-up thread, which builds them.
    std::shared_ptr<ShortLists> shortLists_;
    // One bit per slot of text hashes, for every text some promotion names; made again
    // when the number of promotions is not promotedFor_ (SIZE_MAX: made again anyway).
    std::vector<uint64_t> promotedBits_;
    size_t promotedFor_ = SIZE_MAX;

    // Asks the background writer to save user.dat; falls back to SaveUser without one.
    void SaveUserSoon();

    // Reads user.dat into userFreq; keep, when given, receives the bytes read.
    void LoadUser(std::shared_ptr<const std::string>* keep);
    // Numbers the contents of userFreq: grows whenever they change other than by the
    // counts the kept lists are told of (a load, an Update, a count they missed).
    uint64_t userCounts_ = 0;

    // The last load found the file but could not read it: saving would destroy it.
    bool userUnreadable_ = false;
    bool promoteUnreadable_ = false;

    // Background saves of user.dat, started on the first one. userChange_ numbers the
    // changes of userFreq; while userMirrored_ the writer has been told every one.
    std::unique_ptr<UserSaver> userSaver_;
    uint64_t userChange_ = 0;
    bool userMirrored_ = false;
};

}  // namespace zl
