puts "before"
require "no_such_library_anywhere"
