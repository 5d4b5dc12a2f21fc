Thread.new do
  sleep
ensure
  puts "ended"
end
sleep 0.1
puts "started"
