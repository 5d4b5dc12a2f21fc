#include "mainscript.h"

#include "rubies.h"

// What `load` does, with the label of a main program: the runtime's parser and compiler as it
// exports them without declaring them in its public headers (they are the same in every build of
// this version). Compiling through RubyVM::InstructionSequence would label the script
// "<compiled>", and its `eval` would stand in the script's backtrace.
extern "C" {
struct rb_ast_body_struct
{
    const void *root;
    VALUE compile_option;
    VALUE script_lines;
};
struct rb_ast_struct
{
    VALUE flags;
    void *node_buffer;
    rb_ast_body_struct body;
};
VALUE rb_parser_new(void);
VALUE rb_parser_set_context(VALUE parser, const void *base, int main);
rb_ast_struct *rb_parser_compile_string_path(VALUE parser, VALUE file, VALUE source, int line);
void rb_ast_dispose(rb_ast_struct *ast);
const void *rb_iseq_new_top(const rb_ast_body_struct *ast, VALUE name, VALUE path, VALUE realPath,
                            const void *parent);
VALUE rb_iseq_eval(const void *iseq);
}

namespace MainScript {

KORVEX_LEFT_BY_RAISE VALUE run(VALUE source, VALUE file, VALUE realPath)
{
    VALUE parser = rb_parser_new();
    // Not a main program to the parser: a syntax error is raised, not printed.
    rb_parser_set_context(parser, nullptr, 0);
    rb_ast_struct *const ast = rb_parser_compile_string_path(parser, file, source, 1);
    RB_GC_GUARD(parser);
    if (!ast->body.root) {
        rb_ast_dispose(ast);
        rb_exc_raise(rb_errinfo());
    }
    const void *const sequence =
        rb_iseq_new_top(&ast->body, rb_interned_str_cstr("<main>"), file, realPath, nullptr);
    rb_ast_dispose(ast);
    return rb_iseq_eval(sequence);
}

} // namespace MainScript
