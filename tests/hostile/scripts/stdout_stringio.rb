require "stringio"
puts "before"
$stdout = StringIO.new
puts "lost"
