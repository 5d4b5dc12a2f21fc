// A job object per run on Windows: a child goes in right after the runtime started it (the
// runtime's spawn cannot start it suspended, so what a child starts in its first moments
// could escape; a process starts in milliseconds, the assignment follows within
// microseconds). Processes started by a process in a job are in the job too, which
// TerminateJobObject ends together. Found working under Wine 8 (docs/stopping-a-script.md).

#include "childjob.h"

#include "rubies.h"

#include <windows.h>

namespace {

// How long #terminate waits for the processes to be gone, and how often it looks.
constexpr DWORD EndWaitMs = 1000;
constexpr DWORD EndPollMs = 5;

void closeJob(void *job)
{
    if (job)
        CloseHandle(static_cast<HANDLE>(job));
}

const rb_data_type_t jobType = {
    "Korvex::ChildJob",
    {nullptr, closeJob, nullptr, nullptr, {}}, // collected: the handle goes, the processes stay
    nullptr,
    nullptr,
    RUBY_TYPED_FREE_IMMEDIATELY,
};

HANDLE jobOf(VALUE self)
{
    return static_cast<HANDLE>(rb_check_typeddata(self, &jobType));
}

VALUE allocate(VALUE klass)
{
    return TypedData_Wrap_Struct(klass, &jobType, nullptr);
}

VALUE initialize(VALUE self)
{
    // Without a job (the system refused one) nothing goes in, and a stop ends the script's
    // own children one by one.
    DATA_PTR(self) = CreateJobObjectW(nullptr, nullptr);
    return self;
}

KORVEX_LEFT_BY_RAISE VALUE add(VALUE self, VALUE pid)
{
    const HANDLE job = jobOf(self);
    const HANDLE process =
        OpenProcess(PROCESS_SET_QUOTA | PROCESS_TERMINATE, FALSE, NUM2ULONG(pid));
    if (!process)
        return Qfalse; // it ended already
    const BOOL added = AssignProcessToJobObject(job, process);
    CloseHandle(process);
    return added ? Qtrue : Qfalse;
}

DWORD activeProcesses(HANDLE job)
{
    if (!job)
        return 0;
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting = {};
    if (!QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting,
                                   sizeof accounting, nullptr))
        return 0;
    return accounting.ActiveProcesses;
}

VALUE terminate(VALUE self)
{
    const HANDLE job = jobOf(self);
    TerminateJobObject(job, 1);
    // Termination is asynchronous; a stopped run leaves no process behind.
    for (DWORD waited = 0; activeProcesses(job) > 0 && waited < EndWaitMs; waited += EndPollMs)
        Sleep(EndPollMs);
    return Qnil;
}

} // namespace

void ChildJob::define(VALUE module)
{
    const VALUE jobClass = rb_define_class_under(module, "ChildJob", rb_cObject);
    rb_define_alloc_func(jobClass, allocate);
    rb_define_method(jobClass, "initialize", initialize, 0);
    rb_define_method(jobClass, "add", add, 1);
    rb_define_method(jobClass, "terminate", terminate, 0);
}
