puts "before"
$stdout = nil
puts "after"
