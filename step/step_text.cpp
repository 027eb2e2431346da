#include "step_text.h"

#include "failure_text.h"
#include "phase_indicator.h"

#include <Interface_Static.hxx>
#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <STEPControl_Writer.hxx>
#include <StepBasic_Product.hxx>
#include <StepData_Protocol.hxx>
#include <StepData_StepModel.hxx>
#include <StepData_StepWriter.hxx>
#include <Standard_Failure.hxx>
#include <TCollection_HAsciiString.hxx>

#include <mutex>
#include <new>
#include <ostream>
#include <streambuf>
#include <vector>

namespace {

constexpr const char* productName = "Relief";

// The translator's settings are process-wide: one translation at a time.
std::mutex& translatorMutex()
{
    static std::mutex mutex;
    return mutex;
}

void setUpTranslator()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // The translator reports to the console: the program has its own messages.
        Message::DefaultMessenger()->ChangePrinters().Clear();
        STEPControl_Writer warmUp;  // loads the STEP settings that the next lines change
        Interface_Static::SetCVal("write.step.schema", "AP214IS");
        Interface_Static::SetCVal("xstep.cascade.unit", "MM");
        Interface_Static::SetCVal("write.step.unit", "MM");
        // The part's name in the CAD tree, the same in every file.
        Interface_Static::SetCVal("write.step.product.name", productName);
    });
}

// Hands the text to the sink a buffer at a time; fails the stream after a
// refused write or a cancel, so that the rest of the text costs nothing.
class SinkBuffer : public std::streambuf {
public:
    SinkBuffer(ByteSink& sink, const StepCancel& cancel) : sink_(sink), cancel_(cancel), buffer_(1 << 20)
    {
        setp(buffer_.data(), buffer_.data() + buffer_.size());
    }
    bool refused = false;

protected:
    int_type overflow(int_type c) override
    {
        if (!flush())
            return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return flush() ? 0 : -1; }

private:
    bool flush()
    {
        if (refused || cancel_.cancelled())
            return false;
        const std::size_t length = std::size_t(pptr() - pbase());
        if (length > 0 && !sink_.write(std::string_view(pbase(), length))) {
            refused = true;
            return false;
        }
        setp(buffer_.data(), buffer_.data() + buffer_.size());
        return true;
    }

    ByteSink& sink_;
    const StepCancel& cancel_;
    std::vector<char> buffer_;
};

// The translator numbers the product of each shape it translates in the
// process ("Relief 1", "Relief 2", ...): the part keeps its one name.
void nameProducts(const StepData_StepModel& model)
{
    const Handle(TCollection_HAsciiString) name = new TCollection_HAsciiString(productName);
    for (Standard_Integer i = 1; i <= model.NbEntities(); ++i) {
        const Handle(StepBasic_Product) product = Handle(StepBasic_Product)::DownCast(model.Value(i));
        if (!product.IsNull()) {
            product->SetId(name);
            product->SetName(name);
        }
    }
}

} // namespace

StepTextResult writeStepText(const TopoDS_Shape& shape, ByteSink& sink, const StepCancel& cancel,
                             StepProgress& progress, std::string& failure)
{
    std::lock_guard<std::mutex> lock(translatorMutex());
    setUpTranslator();
    try {
        STEPControl_Writer writer;
        progress.enter(StepProgress::Phase::Translation);
        Handle(PhaseIndicator) indicator = new PhaseIndicator(cancel, progress);
        const IFSelect_ReturnStatus transferred =
            writer.Transfer(shape, STEPControl_AsIs, Standard_True, indicator->Start());
        if (cancel.cancelled())
            return StepTextResult::Cancelled;
        if (transferred != IFSelect_RetDone) {
            failure = "la traduction de la forme en entités STEP n'a pas abouti";
            return StepTextResult::Failed;
        }

        // STEPControl_Writer only writes to a path in this version: its
        // model goes through the same STEP printer into the sink instead.
        Handle(StepData_StepModel) model = writer.Model();
        nameProducts(*model);
        Handle(StepData_Protocol) protocol = Handle(StepData_Protocol)::DownCast(model->Protocol());
        if (protocol.IsNull()) {
            failure = "le modèle STEP traduit n'a pas de protocole d'écriture";
            return StepTextResult::Failed;
        }
        progress.enter(StepProgress::Phase::Text);
        StepData_StepWriter text(model);
        text.SendModel(protocol);
        SinkBuffer buffer(sink, cancel);
        std::ostream out(&buffer);
        const bool printed = text.Print(out);
        out.flush();
        if (cancel.cancelled())
            return StepTextResult::Cancelled;
        if (buffer.refused)
            return StepTextResult::WriteFailed;
        if (!printed || !out) {
            failure = "la mise en texte du modèle STEP n'a pas abouti";
            return StepTextResult::Failed;
        }
        progress.advance(1);
        return StepTextResult::Written;
    } catch (const Standard_Failure& error) {
        failure = "la traduction en STEP a échoué : " + failureText(error);
        return StepTextResult::Failed;
    } catch (const std::bad_alloc& error) {
        failure = "la traduction en STEP a échoué : " + failureText(error);
        return StepTextResult::Failed;
    }
}
