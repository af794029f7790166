#include "app/MainDlgTexts.h"

#include "app/MainDlgIds.h"

namespace tavirel {

namespace {

struct Tip {
  int Id;
  const char16_t* Text;
};

const Tip kTips[] = {
    {IDC_XULYHOATHUONG,
     u"VD định nghĩa gõ tắt: ko = không\nGõ:\n+ KO -> KHÔNG\n+ Ko -> Không"},
    {IDC_GOTATPAD,
     u"VD : gõ [Fiền] -> [Phiền]"},
    {IDC_GOTATPAC,
     u"VD : gõ [Tiếg] -> [Tiếng]"},
    {IDC_KHOIPHUCPHIM,
     u"VD: Gõ [trườnghjk] -> sai chính tả -> sẽ được khôi phục thành [truowngfhjk]"},
    {IDC_NA_PAC_DACBIET,
     u"Gõ những từ mà bình thường không thể gõ được với những lựa chọn chính tả khác\nVD: ah uh ưh\n\nCần gõ đầy đủ nguyên âm và phụ âm cuối\nKhông được gõ phụ âm đầu\nKhông cần (không được) gõ dấu thanh"},
    {IDC_DUNGTUDIEN,
     u"Bạn chỉ có thể gõ được những từ thường được dùng trong tiếng Việt\n\nLựa chọn này sẽ có ích khi gõ các loại văn bản chính quy"},
    {IDC_GOLIENTUC,
     u"VD: chươngtrìnhgõtiếngviệtnhiềuchứcnăng\n\nNếu bật lựa chọn này, lựa chọn \"Tự động khôi phục phím với từ sai chính tả\" sẽ không còn tác dụng"},
    {IDC_TUTHEMDAUSAC,
     u"VD: gõ [viêt] -> [viết]"},
    {IDC_SUALOITUDON,
     u"VD: gõ [chươn] -> [chương]"},
    {IDC_SUALOITUGHEP,
     u"VD: gõ [trương trình] -> [chương trình]"},
    {IDC_MANUALPOSITION,
     u"Mặc định , cửa sổ gợi ý hiện bên cạnh dấu nháy - caret\nĐể di chuyển cửa sổ gợi ý, bạn bấm chuột vào góc dưới - phải"},
    {IDC_HOOKUPDOWN,
     u"Phím Lên Xuống sẽ di chuyển vị trí từ đang được chọn trong cửa sổ gợi ý\nThường thì sẽ không dùng chung được với AutoComplete của các chương trình khác\n\nNếu tắt, bạn vẫn có thể chọn từ gợi ý bằng các phím (Shift+) F1-F12 , Page Up/ Page Down"},
    {IDC_LBL_PHIMKHOIPHUC,
     u"VD:\n* kiểu gõ Telex -> gõ [down] -> thành [dơn] -> bấm phím tắt để phục hồi thành [down]\n* gõ tắt [n/c] -> [nói chiện] -> bấm phím tắt để phục hồi [n/c]\n* gõ [trườnghjk] -> sai chính tả -> được khôi phục thành [truowngfhjk] -> bấm phím tắt để phục hồi [trường]"},
    {IDC_LBL_PHIMCLEAR,
     u"VD, kiểu gõ telex, gõ [tiếng] -> bình thường, nếu gõ tiếp [s] sẽ được [tiêngss]\nNếu bạn không muốn như dậy, bấm phím tắt, chương trình sẽ coi như bạn chưa gõ gì,\nbây giờ nếu gõ tiếp [s] sẽ được [tiếngs]"},
    {IDC_MOUSEHOOK,
     u"Chỉ tắt khi bạn gặp vấn đề liên quan đến chuột\n\nNếu tắt, Tavirel sẽ không biết được khi bạn click để di chuyển dấu nháy ( caret ) trong cùng 1 cửa sổ\nVD: gõ [tiếng] -> click di chuyển dấu nháy -> muốn gõ [việt] -> Tavirel sẽ cho ra [tiếngvieetj] vì nghĩ bạn chưa kết thúc từ [tiếng]\nBạn dùng các phím không tạo ra chữ ( Esc Pause Trái Phải Lên Xuống F1 ... ) để cho kết thúc từ\n\nCần khởi động lại chương trình để lựa chọn có tác dụng"},
    {IDC_CPUCAO,
     u"Khi 1 chương trình nào đó tỏ ra chậm chạp khi gõ ( không xử lý kịp phím đã gõ , kể cả khi không mở Tavirel ) ,\nbật lựa chọn này sẽ gõ tốt hơn , chương trình đó sẽ nhận tất cả những phím được gởi\n\nKhông nên bật lựa chọn này nếu bạn không gặp vấn đề gì khi gõ"},
    {IDC_CLIPBOARD,
     u"Nên chọn nếu dùng chung với bộ gõ của các trang web\nTavirel sẽ copy các ký tự vào Clipboard, sau đó gửi phím Ctrl+V để dán"},
    {IDC_DETECTAUTOCOMPLETE,
     u"Nếu nhận thấy cửa sổ có auto complete, Tavirel sẽ xử lý thích hợp để gõ tốt hơn\nVD thanh địa chỉ của Google Chrome, bảng trong MS Excel"},
};

}  // namespace

const int kMainDlgTooltipIds[] = {
    IDC_XULYHOATHUONG, IDC_GOTATPAD, IDC_GOTATPAC, IDC_KHOIPHUCPHIM, IDC_NA_PAC_DACBIET, IDC_DUNGTUDIEN, IDC_GOLIENTUC, IDC_TUTHEMDAUSAC, IDC_SUALOITUDON, IDC_SUALOITUGHEP, IDC_MANUALPOSITION, IDC_HOOKUPDOWN, IDC_LBL_PHIMKHOIPHUC, IDC_LBL_PHIMCLEAR, IDC_MOUSEHOOK, IDC_CPUCAO, IDC_CLIPBOARD, IDC_DETECTAUTOCOMPLETE, 0};

const char16_t* MainDlgTooltip(int controlId) {
  for (const Tip& tip : kTips) {
    if (tip.Id == controlId) return tip.Text;
  }
  return nullptr;
}

std::u16string KeyHelpText(const CKieuGo& method) {
  std::u16string text;
  for (const auto& [key, binding] : method) {
    text += key;
    text += u'\t';
    text += binding.DisplayText();
    text += u'\n';
  }
  return text;
}

std::u16string KeyHelpCaption(const std::u16string& methodName) { return u"Các phím của kiểu gõ " + methodName; }

}  // namespace tavirel
