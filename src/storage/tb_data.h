#ifndef SYMBASE_STORAGE_TB_DATA_H
#define SYMBASE_STORAGE_TB_DATA_H

#include <memory>
#include <string>
#include <vector>

#include "storage/symbol_texts.h"
#include "storage/tb_data_interface.h"
#include "symbase/afx.h"
#include "symbase/afxcoll.h"
#include "symbase/host_analysis.h"
#include "xbase/engine.h"

class CTBObjetAts;
namespace symbase {
class BaseAccess;
struct AddressKey;
}  // namespace symbase

// The kinds of conflict an insertion meets between an object and the base.
enum class InsertConflict {
  kAddressNew,      // a new address whose symbol another address carries
  kAddressPresent,  // an address without symbol whose new symbol another carries
  kDouble,          // another symbol at the address, and the symbol elsewhere
  kSymbol,          // another symbol at the address; the new one is free
  kComment,         // another comment at the address
};

// The storage object behind the handle: the engine session and every handle
// of the open base, the answer-for-all flags of the insertion, the texts the
// key operations compare with, the modified flag and time, the locked flag.
// Every exported operation is one of its members. It keeps no directory:
// create, open, unlock and delete receive it each time.
class CTBData : public CTBDataInterface {
  DECLARE_DYNAMIC(CTBData)

 public:
  CTBData();
  // Does not close the base: the host closes it first.
  ~CTBData() override;

  // Base life cycle. Each returns 0 but Lock (0, 100 already locked, or the
  // compaction's code) and LastModificationDate (0, or -1 when nothing
  // changed since create or open).
  int Create(const char* directory, int ignored);
  int Open(const char* directory);
  int Close();
  int Delete(const char* directory);
  int Lock();
  int Unlock(const char* directory);
  int LastModificationDate(long* date);
  // A batch of calls made as one write (TBBeginBatch, TBEndBatch): Begin
  // takes the base for writing (0, 100 locked, 104, or a failure); a Begin
  // inside a batch only deepens it. End, at the outermost level, writes the
  // batch (0 or the commit's failure) or, when a call inside it was left by
  // an exception, undoes it all (111); 0 when no batch is open. Close, Open
  // and Create end an open batch first.
  int BeginBatch();
  int EndBatch();
  // Ends an open batch however deep (its commit's failure is reported).
  void EndOpenBatch();

  // Comment rows. `key` is the 22-character comment key (OBJET + IND1 + IND2
  // + IND3 + IND4 as stored). Results: 0, or the first non-zero checked result.
  int AppendComment(const CString& comment, const char* objet, const char* ind1, const char* ind2,
                    const char* ind3, const char* ind4);
  int UpdateComment(const CString& comment, const char* key);
  int DeleteComment(const char* key);
  int RewriteComment(const CString& comment, const char* key, const char* objet, const char* ind1,
                     const char* ind2, const char* ind3, const char* ind4);
  int ReadCommentByKey(CString& comment, const char* key);
  // The comment of the comment table's current row: CMT1 then CMT2, each
  // without its trailing blanks.
  void ReadComment(CString& comment);
  // Cuts the trailing blanks of buffer[0..length) with a NUL; returns the
  // remaining length.
  static int TrimRightBlanks(char* buffer, int length);

  // The last index of the main table's current row for its family
  // (IND4 for NW and module families, IND3 for XM, IND2 otherwise), -1 when
  // blank. objet (the row's OBJET) is never null.
  short RowSubIndex(const char* objet);

  // Single objects. Results: 0, 101 when the symbol is carried by another
  // row (the object's address then names that row), 102/103 unknown
  // address, 104 locked, 1 (create) when the comment row failed, or a
  // negative engine code already reported.
  int CheckSymbolFree(CString symbol);
  int CreateObject(CTBObjetAts* object);
  int ModifyObject(CTBObjetAts* object, int mode);
  int DelObject(CTBObjetAts* object);

  // Insertion with conflict resolution: mode 0 replaces, 1 keeps, 2 asks
  // (or applies a remembered answer for all). 0, 106 interrupted, 107
  // refused, or the first lookup's failure code.
  int InsertObject(CTBObjetAts* object, int mode);
  // The row that carries the object's symbol takes its address and comment.
  int MoveSymbol(CTBObjetAts* object);
  // Sets both answer-for-all flags.
  void SetButtonAllPressed(int value);

  // Searches.
  int SearchSymbol(CTBObjetAts* object);
  int SearchRepere(CTBObjetAts* object);
  int SearchAttrib(CTBObjetAts* object, int bySymbol);
  int IsObjectBase(int* empty);
  int FindStringInBase(CStringList& list, int symbolOrder, int field, const CString& text,
                       int match);
  // Whether FindStringInBase answers without the general walk: it then
  // reports no failure of a read made optimistically.
  static bool FindsQuickly(int field, const CString& text, int match);
  // The search by the text filter walked over every row (find_string_walk.cpp).
  int FindByWalk(CStringList& list, int symbolOrder, int field, const CString& text, int match);

  int SearchSymbolAnalex(const char* repere, char* symbole, int size) override;
  int SearchRepereAnalex(char* symbole, char* repere, int size) override;

  // I/O lists (TriListeRepereES, FiltrerListeRepereES): the address texts of
  // a module's inputs and outputs, sorted in module order or reduced to the
  // plain inputs and outputs, in place. Neither reads the base; a null list
  // is left alone.
  void TriListeRepereES(CStringList* list);
  void FiltrerListeRepereES(CStringList* list);

  // Listings, export and counting (ListRepere ... ListRepereAllBaseSymbol,
  // ExportSymbol, NumberObjectByType). Entries are appended to the caller's
  // list and belong to it. While the base is locked each returns 0 at once
  // and writes nothing. Results: 0; 105 (ListRepereAllBaseSymbol,
  // ExportSymbol) start record or call counter out of range; 104 or a
  // negative engine code, already reported; -1 for a null list or out
  // argument. NumberObjectByType returns 0 but for that -1.
  int ListRepere(CString prefix, int firstInd1, int lastInd1, unsigned int maximum, CObList* list);
  int ListRepereModule(CString prefix, int ind1, int positionCount, unsigned int firstPosition,
                       unsigned int lastPosition, unsigned int maximum, CObList* list);
  int ListRepereSousObjet(CString prefix, int ind1, unsigned int maximum, CObList* list);
  int ListRepereModuleSousObjet(CString prefix, int ind1, int positionCount, int position,
                                unsigned int subEntryCount, CObList* list);
  int ListRepereTroisIndicesSousObjet(CString prefix, int ind1, int ind2, int ind3,
                                      unsigned int maximum, CObList* list);
  int ListRepereByTypeObject(CString prefix, int subObject, int* ind1, CObList* list,
                             int* finished);
  int ListSymbolByTypeObject(CString prefix, int subObjectMode, int firstCall, int withSymbol,
                             CObList* list, int* finished, int moduleNumber);
  int ListRepereAllBaseSymbol(long* record, CObList* list, int* finished);
  int ExportSymbol(CString prefix, int moduleNumber, long* counter, CObList* list, int* finished);
  int NumberObjectByType(CString prefix, int moduleNumber, long* count);
  // The xBase filter of one object kind, as the sorted listing, the export,
  // the counting and the module move query the main table with. prefix is an
  // address prefix ("%MW"; its first character is dropped). "%ES" selects
  // every input and output of module moduleNumber:
  //   ((OBJET = 'V' .OR. OBJET = 'MO') .AND. IND1 = '<module as IND1>')
  // any other letters give OBJET = '<letters>': unpadded (the object and its
  // sub-objects, since = compares over the right text's length) when
  // subObjectMode is neither 0 nor 1 and the letters are neither M nor S;
  // otherwise blank-padded to 5 after an "X" when subObjectMode is 1 or the
  // letters are M or S. Then " .AND. .NOT. DELETED()"; with symbolTest, rows
  // with a symbol (withSymbol non-zero) or without one.
  CString BuildObjectFilter(const CString& prefix, int subObjectMode, int moduleNumber,
                            int withSymbol, bool symbolTest);
  // The text the filter's OBJET test compares with (over its own length, so
  // a short text selects every object code it begins): the prefix's letters,
  // padded after an "X" as the mode says. Not for "%ES".
  static CString ObjetText(const CString& prefix, int subObjectMode);

  // Reconfiguration and step attributes (ReconfByType, ReconfByMacroEtape,
  // ReconfDelObject, ReconfMoveModule, DelObjetDiagG7) and the conversion of
  // a level 1 base (TransformL1ToL2, ConvertModuleIndexes). Rows are marked
  // deleted with their comment rows, the comment table walked in step with
  // the main table. Results: 0; 102 or 103 when a commented row's comment
  // row is missing (ReconfDelObject, ReconfMoveModule, DelObjetDiagG7); 104
  // or a negative engine code; 100 while the base is locked (the
  // reconfiguration only). Only the comment deletion
  // sets the modified flag. The move and DelObjetDiagG7 use the current
  // relation; TransformL1ToL2 always returns 0.
  int ReconfByType(unsigned short typeCode, unsigned short number);
  int ReconfByMacroEtape(unsigned short typeCode, unsigned short macroStep,
                         unsigned short stepCount);
  int ReconfDelObject(CTBObjetAts* object, unsigned short typeCode, int ignored);
  int ReconfMoveModule(UsAts* source, UsAts* target);
  int DelObjetDiagG7();
  int TransformL1ToL2(int ignored);
  int ConvertModuleIndexes(xbase::Table* table, xbase::Field* ind1);

  // Engine session and handles of the open base.
  xbase::Session m_session;
  xbase::Table* m_mainTable = nullptr;
  xbase::Table* m_commentTable = nullptr;
  xbase::Index* m_indexRepCle = nullptr;
  xbase::Index* m_indexRepere = nullptr;
  xbase::Index* m_indexSymbole = nullptr;
  xbase::Index* m_indexRepCmt = nullptr;
  xbase::Field* m_fieldObjet = nullptr;
  xbase::Field* m_fieldInd1 = nullptr;
  xbase::Field* m_fieldInd2 = nullptr;
  xbase::Field* m_fieldInd3 = nullptr;
  xbase::Field* m_fieldInd4 = nullptr;
  xbase::Field* m_fieldRepere = nullptr;
  xbase::Field* m_fieldSymbole = nullptr;
  xbase::Field* m_fieldIsCmt = nullptr;
  xbase::Field* m_fieldCmtObjet = nullptr;
  xbase::Field* m_fieldCmtInd1 = nullptr;
  xbase::Field* m_fieldCmtInd2 = nullptr;
  xbase::Field* m_fieldCmtInd3 = nullptr;
  xbase::Field* m_fieldCmtInd4 = nullptr;
  xbase::Field* m_fieldCmt1 = nullptr;
  xbase::Field* m_fieldCmt2 = nullptr;
  xbase::Tag* m_tagRepCle = nullptr;
  xbase::Tag* m_tagRepere = nullptr;
  xbase::Tag* m_tagSymbole = nullptr;
  xbase::Tag* m_tagRepCmt = nullptr;
  // The query of the last relation-based operation.
  xbase::Relation* m_relation = nullptr;

  // Remembered answers of "Oui pour &Tous" and "Non pour Tou&s".
  int m_yesToAll = 0;
  int m_noToAll = 0;

  // Family codes and blank texts of the key operations, then the text that
  // receives an insertion's conflict message.
  CString m_nwxFamily;     // "NWX  "
  CString m_nwFamily;      // "NW   "
  CString m_viwxFamily;    // "VIWX "
  CString m_vqwxFamily;    // "VQWX "
  CString m_vmwxFamily;    // "VMWX "
  CString m_vkwxFamily;    // "VKWX "
  CString m_moiwxFamily;   // "MOIWX"
  CString m_moqwxFamily;   // "MOQWX"
  CString m_momwxFamily;   // "MOMWX"
  CString m_mokwxFamily;   // "MOKWX"
  CString m_blankInd2;     // five blanks
  CString m_blankInd3;     // five blanks
  CString m_blankInd4;     // two blanks
  CString m_blankSymbole;  // thirty-two blanks
  CString m_message;       // empty

  int m_modified = 0;
  CTime m_lastModification;
  int m_locked = 0;

  // The access that holds the base for the call in progress, if any.
  symbase::BaseAccess* m_access = nullptr;
  // The batch's hold on the base and how many Begins it has had; released
  // before the session, so a handle freed in a batch undoes it.
  std::unique_ptr<symbase::BaseAccess> m_batch;
  int m_batchDepth = 0;
  // Every commit synced to the disk (power-loss durability); off by default.
  int m_durable = 0;
  // The base's symbols in one block of text, for the text searches.
  symbase::SymbolTexts m_symbolTexts;

  // Sets the modified flag and the last modification time to now.
  void MarkModified();

  // Fields of the current rows: without trailing blanks, or whole.
  // `width` is the field's width, at most 254.
  CString FieldText(xbase::Field* field, int width);
  CString FieldRaw(xbase::Field* field, int width);
  // The 22-character comment key of the main table's current row.
  CString MainRowCommentKey();
  // True when the main table's current row has "O" in ISCMT.
  bool MainRowHasComment();

 private:
  // PrepareSymbol on the object's symbol, then CheckSymbolFree; on a taken
  // symbol the object's address receives the carrying row's.
  int ClaimSymbol(CTBObjetAts* object);
  // CreateObject once the symbol is known to be free.
  int AppendObject(CTBObjetAts* object);
  // Blanks the main table's current row and writes an object into it.
  void WriteMainRow(const symbase::AddressKey& key, const CString& symbole, const CString& repere);
  // Sets ISCMT and appends the comment row of a new key.
  int AppendCommentOfKey(const CString& comment, const symbase::AddressKey& key);
  // Writes the comment of the main table's current row (update or append).
  int WriteCommentOfMainRow(const CString& comment);
  // Pads the object's address to 36 in place and seeks it on REPERE_TAG.
  int SeekRepere(CTBObjetAts* object);
  // Seeks a key on a main-table tag, then returns to record order.
  int SeekOnMainTag(xbase::Tag* tag, const CString& key);
  int InsertOnce(CTBObjetAts* object, int mode);
  int ResolveConflict(InsertConflict kind, CTBObjetAts* object, CTBObjetAts* existing, int mode);
  // Shows the conflict in m_message until the user decides: a button of the
  // confirmation dialog, 106 for a confirmed interruption, 0 when closed.
  int AskConflict();
  void Replace(InsertConflict kind, CTBObjetAts* object, CTBObjetAts* existing);
  // Formats the conflict's message into m_message; `other` is the address
  // that carries the object's symbol.
  void FormatConflictMessage(InsertConflict kind, const CTBObjetAts& object,
                             const CTBObjetAts& existing, const CString& other);
  // The text searches made from keys and one pass over the comments
  // (find_string.cpp): the rows whose symbol begins with `upper` in any
  // case; the addresses of rows found,
  // listed in an order; whether any live row is marked commented.
  int FindInSymbols(CStringList& list, int symbolOrder, const CString& text, int match);
  int FindInComments(CStringList& list, int symbolOrder, const CString& text, int match);
  int SymbolsWithPrefix(const std::string& upper, std::vector<long>* records);
  bool AnyRowCommented();
  // Opens (or creates) the six files of `directory` into the handles.
  void OpenFiles(const char* directory, bool create);
  // Drops every handle once the engine has closed the files.
  void ForgetFiles();
  // Writes a comment into CMT1 and CMT2 of the comment table's current row.
  void WriteComment(const CString& comment);
  // Blanks the comment table's current row and writes a key and a comment.
  void WriteCommentRow(const CString& comment, const char* objet, const char* ind1,
                       const char* ind2, const char* ind3, const char* ind4);
  // Seeks the comment row of `key` on REPCMT_TAG; on success the table is
  // left on it in record order, otherwise the tag stays selected.
  int SeekComment(const char* key);
};

#endif
